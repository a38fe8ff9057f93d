#include "CliArgs.h"

namespace velora::cli {

CliArgs::CliArgs(const std::vector<std::string>& args, std::set<std::string> valued,
                 std::set<std::string> flags) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 1 && a[0] == '-') {
            if (valued.count(a)) {
                if (i + 1 >= args.size()) {
                    error_ = "option " + a + " needs a value";
                    return;
                }
                values_[a] = args[++i];
            } else if (flags.count(a)) {
                flags_.insert(a);
            } else {
                error_ = "unknown option " + a;
                return;
            }
        } else {
            positional_.push_back(a);
        }
    }
}

std::optional<std::string> CliArgs::value(const std::string& option) const {
    auto it = values_.find(option);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

} // namespace velora::cli

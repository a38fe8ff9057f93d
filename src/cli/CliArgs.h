#pragma once
// A small argument parser for velora-cli: positional words, valued options and flags, in any order.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velora::cli {

class CliArgs {
  public:
    // valued: options that take a value ("-o", "--device" ...); flags: options without one.
    CliArgs(const std::vector<std::string>& args, std::set<std::string> valued, std::set<std::string> flags);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::vector<std::string>& positional() const { return positional_; }
    std::optional<std::string> value(const std::string& option) const;
    bool flag(const std::string& option) const { return flags_.count(option) > 0; }

  private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::string error_;
};

} // namespace velora::cli

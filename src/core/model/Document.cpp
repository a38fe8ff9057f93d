#include "model/Document.h"

namespace velora {

namespace {
constexpr std::size_t kMaxFileName = 259;
}

void Document::setFileName(std::string name) {
    if (name.size() > kMaxFileName) name.resize(kMaxFileName);
    fileName_ = std::move(name);
}

void Document::setFolder(std::string folder) {
    if (folder.empty()) folder = "./";
    if (folder.back() != '/') folder.push_back('/');
    folder_ = std::move(folder);
}

void Document::setPath(const std::string& path) {
    auto cut = path.find_last_of("/:\\");
    if (cut == std::string::npos) {
        setFolder("./");
        setFileName(path);
    } else {
        setFolder(path.substr(0, cut + 1));
        setFileName(path.substr(cut + 1));
    }
}

} // namespace velora

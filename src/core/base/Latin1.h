#pragma once
// Text in the data set is one byte per character (Latin-1); the command line and the terminal
// speak UTF-8. These convert between the two without guessing.
#include <string>
#include <string_view>

namespace velora {

std::string latin1ToUtf8(std::string_view latin1);

struct Latin1Text {
    enum class Status { Ok, NoByte, NotUtf8 };
    Status status = Status::Ok;
    std::string text;      // the bytes, when Ok
    std::string character; // NoByte: the first character without a byte, as UTF-8
};
Latin1Text utf8ToLatin1(std::string_view utf8);

} // namespace velora

#pragma once
#include <string>

#include "platform/result.h"

namespace tessary {

// Lowercase hexadecimal SHA-256 of the bytes of text (64 characters), or the status of the
// platform's crypto step that failed.
platform::Result<std::string> Sha256Hex(const std::string& text);

// Lowercase hexadecimal MD5 (32 characters) of text in the thread's ANSI code page; empty when
// the text cannot be converted or hashing fails.
std::string Md5Hex(const std::wstring& text);

}  // namespace tessary

#include "errors/KoException.h"

#include <cstdio>

KoException::KoException(const char* message, int32_t code) : message_(message), code_(code) {}

// The standard exception part carries nothing of ours, so it is
// default-constructed rather than copied.
KoException::KoException(const KoException& other)
    : std::exception(), message_(other.message_), code_(other.code_) {}

KoException::~KoException() = default;

const char* KoException::Message() const noexcept { return message_.c_str(); }

int32_t KoException::Code() const noexcept { return code_; }

std::string KoException::FormatDetail(const char* format, va_list args) {
    enum { kBufferSize = 1024, kMaxChars = kBufferSize - 1 };
    char buffer[kBufferSize] = {};
    const int written = std::vsnprintf(buffer, kBufferSize, format, args);
    if (written < 0) buffer[0] = '\0';  // an encoding error leaves no defined text
    buffer[kMaxChars] = '\0';
    return std::string(buffer);
}

#pragma once

#include <cstdarg>
#include <cstdint>
#include <exception>
#include <string>

// Base of the errors thrown by our libraries. Each library has one concrete
// error class that reports the library's own module name; callers may read
// the free message text, the numeric code and the formatted detail text
// (what()) without knowing which library raised it.
class KoException : public std::exception {
public:
    KoException(const KoException& other);
    KoException& operator=(const KoException&) = delete;
    ~KoException() override;

    const char* what() const noexcept override = 0;
    virtual const char* Module() const noexcept = 0;
    virtual const char* Message() const noexcept;
    virtual int32_t Code() const noexcept;

protected:
    KoException(const char* message, int32_t code);

    // printf-style formatting into a fixed 1024-byte buffer: at most 1023
    // characters are kept, longer results are cut.
    static std::string FormatDetail(const char* format, va_list args);

private:
    std::string message_;
    int32_t code_;
};

// The concrete error class of one library. `ModuleInfo` supplies the module
// name as a static constexpr `name`. Each library exposes its instance as
// its nested `Exception` (ustring::Exception, KoPathUtils::Exception).
template <typename ModuleInfo>
class KoModuleException final : public KoException {
public:
    [[gnu::format(printf, 4, 5)]]
    KoModuleException(const char* message, int32_t code, const char* format, ...)
        : KoException(message, code) {
        va_list args;
        va_start(args, format);
        try {
            detail_ = FormatDetail(format, args);
        } catch (...) {
            va_end(args);
            throw;
        }
        va_end(args);
    }

    KoModuleException(const KoModuleException& other) = default;
    ~KoModuleException() override = default;

    const char* what() const noexcept override { return detail_.c_str(); }
    const char* Module() const noexcept override { return ModuleInfo::name; }

private:
    std::string detail_;
    [[maybe_unused]] int32_t extra_ = 0;  // carried by copies; nothing reads it
};

// The framework's errors: exceptions that carry a UTF-8 message.
#pragma once

#include <stdexcept>
#include <string>

namespace gui {

// Base of every error the framework raises; what() is the message shown to the user.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message);
    std::string Message() const { return what(); }
};

// A named resource is missing from a module: "Resource %s not found".
class EResNotFound : public Exception {
  public:
    using Exception::Exception;
};

// A text is not a number: "'%s' is not a valid integer value".
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

// A registry read or write failed: "Invalid data type for '%s'", "Failed to set data for '%s'",
// "Failed to get data for '%s'".
class ERegistryException : public Exception {
  public:
    using Exception::Exception;
};

// Windows refused to create a handle (GDI object, device context, image list).
class EOutOfResources : public Exception {
  public:
    using Exception::Exception;
};

// Picture data that cannot be decoded.
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
};

// Replaces the first "%s" in pattern with arg: FormatMessageText("Resource %s not found", "X").
std::string FormatMessageText(const std::string& pattern, const std::string& arg);

} // namespace gui

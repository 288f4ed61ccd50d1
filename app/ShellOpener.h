// Opening a web address in the user's default browser through the shell's
// execute operation. The preview window opens the product page through this
// small interface so that tests can put their own in its place.
#pragma once

#include <string>

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Opens the address; the shell's answer is not looked at.
    virtual void Open(const std::string& address) = 0;
};

// The shell's "open" verb on the address, no owner window, no parameters,
// no working folder, shown maximised.
class SystemShellOpener : public ShellOpener {
public:
    void Open(const std::string& address) override;
};

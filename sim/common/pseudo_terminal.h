// A pseudo-terminal for the simulators: the program under test opens the
// device path like a serial port, the simulator reads and writes the other
// side.
#pragma once

#include <string>

namespace sim {

class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens a new pseudo-terminal, in raw mode unless `cooked` (then with a
    // terminal's usual line editing, echo, CR/LF translation and XON/XOFF,
    // as a program that does not configure its port would find it); on
    // failure returns false and error() says why.
    bool open(bool cooked = false);
    // Makes `link` a symbolic link to the device (an existing symlink is
    // replaced, any other existing file is left alone and reported).
    bool makeLink(const std::string& link);

    int fd() const { return master_; }
    const std::string& devicePath() const { return path_; }
    const std::string& error() const { return error_; }

    // Waits up to timeoutMs for bytes; returns what arrived ("" on time-out).
    // While no program has the device open, whatever was written to it and
    // not yet read is discarded, as a closed serial port loses its input.
    std::string read(int timeoutMs);
    bool write(const std::string& bytes);
    // The speed the program on the device has set for its line, in baud; 0
    // when it cannot be told, -1 for a speed no sign uses or for input and
    // output at different speeds (a UART runs one speed both ways).
    int lineBaud() const;
    // Closes the line as a pulled cable would: the program on the device
    // sees a hang-up. The link goes too.
    void close();

  private:
    void discardUnreadInput();

    int master_ = -1;
    bool hungUp_ = false;  // no program has the device open
    std::string path_;
    std::string link_;
    std::string error_;
};

}  // namespace sim

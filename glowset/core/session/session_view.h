// What a sign session asks of whoever shows it (the main window, or a
// console): the few things it reads at the moment an exchange needs them,
// and what it reports as the exchange goes on.
#pragma once

#include "glowset/core/protocol/settings_line.h"
#include "glowset/core/session/sign_copy.h"

#include <array>
#include <optional>
#include <string>

namespace glowset {

// A link id's two boxes: its capcodes and its priority position (-1: none).
struct LinkBoxes {
    std::string capcodes;
    int priority = -1;
};

// An upload's progress as the bar shows it: a value outside 0..maximum is
// none (a bar that was reset).
struct UploadProgress {
    int value = -1;
    int maximum = 100;
};

// A settings line decoded for showing: what the window's controls take. Texts
// are bytes as the sign sent them (Latin-1).
struct SignReading {
    std::string typeText;  // the model, or for a sign that names none its header
    // The firmware build count; nullopt for a sign too old to report one.
    std::optional<std::string> firmwareCount;
    std::string model;  // "" for a sign too old to name it
    std::array<DecodedPriority, 5> priorities;
    // Per link id: its capcodes, and its priority position when the sign gave one.
    std::array<std::string, 8> capcodes;
    std::array<std::optional<int>, 8> linkPriorities;
    std::optional<bool> automaticIds;
    std::optional<std::string> userCommand;
};

// The points where an exchange changes what the controls may do.
enum class ExchangeStep {
    DownloadStarted,       // the download request is on its way
    DownloadClosed,        // its port closed after the wait for the reply
    PortHandedOver,        // a pending download's port closed for a message window
    Stopped,               // the port failed mid-exchange
    UploadStarted,         //
    UploadEnded,           //
    IdSwitchStarted,       //
    IdSwitchEnded,         //
    FactoryResetStarted,   // the reset is sent; the read-back follows
    FactoryReadBack,       // the read-back is about to start
    FactoryReadBackFailed  // its port could not be opened
};

class SessionView {
  public:
    virtual ~SessionView() = default;

    // ---- read when an exchange needs them ----
    // The port number (1-12) the next exchange opens.
    virtual int selectedPort() const = 0;
    // The set-up the operator wants, as the change detection reads it.
    virtual WindowSettings wantedSettings() const = 0;
    // A link's boxes, read at the upload tick that sends the link.
    virtual LinkBoxes linkBoxes(int id) const = 0;
    virtual UploadProgress uploadProgress() const = 0;
    // A sign's type is shown, read or opened from a settings file.
    virtual bool showsASign() const = 0;

    // ---- told as it happens ----
    virtual void exchangeStep(ExchangeStep step) = 0;
    // Words for the status line (UTF-8).
    virtual void showStatusText(const std::string& text) = 0;
    // The sign answered "error" to a line of this session's. The main
    // window's status line shows nothing for it; a console counts it.
    virtual void signRefused() {}
    // The status shown again, its time restarted.
    virtual void repeatStatus() = 0;
    // The search has started; it tries a port (its number), or is between
    // two (0).
    virtual void searchStarted() = 0;
    virtual void searching(int portNumber) = 0;
    // The port the next exchange uses is now this one.
    virtual void selectPort(int portNumber) = 0;
    // The search has ended; `found` when a sign answered.
    virtual void searchEnded(bool found) = 0;
    // A port the session could not open, with the reason.
    virtual void portUnavailable(int portNumber, const std::string& why) = 0;
    // A port number no device can have.
    virtual void invalidPort(int portNumber) = 0;
    // A download is starting: a set-up from a settings file is no longer what is shown.
    virtual void forgetSettingsFile() = 0;
    virtual void settingsRead(const SignReading& reading) = 0;
    // The upload writes back what it sent: a cleared link's boxes emptied,
    // a link without a priority given the first.
    virtual void clearLink(int id) = 0;
    virtual void setLinkPriority(int id, int position) = 0;
    // The id switch shows its new state at once.
    virtual void showAutomaticIds(bool automatic) = 0;
    virtual void setUploadMaximum(int maximum) = 0;
    virtual void setUploadValue(int value) = 0;
    virtual void showUploadProgress(bool shown) = 0;
};

}  // namespace glowset

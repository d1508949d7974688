// "Embedded Software Flasher": port, ROM file, Flash and Cancel, progress,
// and a worker thread that performs the runs while the window stays
// responsive.
#pragma once

#include "common/widgets/port_list_box.h"
#include "romwright/app/command_line.h"
#include "romwright/app/flasher_state.h"
#include "romwright/app/program_options.h"
#include "romwright/run/program_unit.h"

#include <QDialog>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace romwright {

class FlasherWindow : public QDialog {
  public:
    // Asks for a ROM file; "" when cancelled. Tests replace it.
    // Asks for a ROM file, starting in `folder`; "" when cancelled.
    using FileChooser = std::function<QString(QWidget* owner, const QString& folder)>;

    FlasherWindow(FlasherState& state, const ProgrammerFactory& programmers = default_programmers(),
                  QWidget* parent = nullptr);
    ~FlasherWindow() override;

    void select_rom_file(const std::string& path);
    void apply_options(const std::vector<Option>& options);
    // The single-token options, then --port (a device path that no entry
    // of the list names) and --verify.
    void apply_program_options(const ProgramOptions& options);
    // Starts the worker thread; runs begin when start_event is set.
    void start_worker();
    // Ends the worker: a run in progress is cancelled and stopped, and the
    // thread is joined. Safe to call more than once.
    void stop_worker();

    void flash_clicked();
    void cancel_clicked();
    void browse_clicked();

    // Puts a text into the status line; every text shown is also kept, in
    // order, so a run's texts can be read afterwards.
    void set_status(const QString& text);
    std::vector<QString> statusLog;

    FileChooser chooseFile;
    // Warnings from a run; by default a modal "Flasher Error" box.
    std::function<void(const QString&)> showError;

    QLabel *comLabel, *fileLabel, *status;
    widgets::PortListBox* portList;
    QLineEdit* fileEdit;
    QPushButton *browse, *flash, *cancel;
    QProgressBar* progress;
    QCheckBox *dontUseBreak, *chainLoad;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void layout_controls();
    void set_flag(unsigned flag, bool on);
    void flash_worker();
    void set_running(bool running);
    // Runs on the window's thread; the worker waits for it.
    void error_from_worker(const std::string& text);
    void progress_from_worker(uint32_t total, uint32_t done);

    FlasherState& state_;
    ProgrammerFactory programmers_;
    std::thread worker_;
    std::mutex errorMutex_;
    std::condition_variable errorClosed_;
    bool errorShowing_ = false;
};

}  // namespace romwright

#include "romwright/app/flasher_window.h"

#include "common/widgets/port_list_box.h"
#include "common/widgets/screen_reader_names.h"
#include "romwright/rom/rom_image.h"
#include "romwright/serial/serial_port.h"
#include "romwright/serial/termios_device.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

#include <cstdio>

namespace romwright {
namespace {
const char* const kLastPortKey = "lastPort";
const char* const kRomFolderKey = "romFolder";
}  // namespace

FlasherWindow::FlasherWindow(FlasherState& state, const ProgrammerFactory& programmers,
                             QWidget* parent)
    : QDialog(parent), state_(state), programmers_(programmers) {
    setWindowTitle("Embedded Software Flasher");
    comLabel = new QLabel("COM Port", this);
    portList = new widgets::PortListBox(this);
    portList->setObjectName("1000");
    fileLabel = new QLabel("Filename", this);
    fileEdit = new QLineEdit(this);
    fileEdit->setObjectName("1001");
    browse = new QPushButton("...", this);
    browse->setObjectName("1002");
    progress = new QProgressBar(this);
    progress->setObjectName("1003");
    progress->setTextVisible(false);
    progress->setRange(0, 100);
    progress->setValue(0);
    flash = new QPushButton("Flash", this);
    flash->setObjectName("1004");
    cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("1005");
    cancel->setEnabled(false);
    status = new QLabel(this);
    status->setObjectName("1006");
    status->setAlignment(Qt::AlignCenter);
    dontUseBreak = new QCheckBox("Don't use break", this);
    dontUseBreak->setObjectName("1007");
    chainLoad = new QCheckBox("Chain load", this);
    chainLoad->setObjectName("1008");
    for (QWidget* w : std::initializer_list<QWidget*>{comLabel, fileLabel, status, progress}) {
        w->setFocusPolicy(Qt::NoFocus);
    }
    widgets::labelFor(comLabel, portList);
    widgets::labelFor(fileLabel, fileEdit);
    widgets::nameForScreenReaders(browse, "Browse for a ROM file");
    browse->setToolTip("Browse for a ROM file");
    flash->setDefault(true);
    cancel->setAutoDefault(false);
    browse->setAutoDefault(false);
    setTabOrder(portList, fileEdit);
    setTabOrder(fileEdit, browse);
    setTabOrder(browse, flash);
    setTabOrder(flash, cancel);
    setTabOrder(cancel, dontUseBreak);
    setTabOrder(dontUseBreak, chainLoad);
    layout_controls();

    for (int n = 1; n <= 9; ++n) portList->addItem(QString("COM%1").arg(n));
    portList->setDescriber([](const QString& entry) {
        return QString::fromStdString(describe_port(entry.toStdString()));
    });
    // The port chosen by hand last time; the command line may still change it.
    const int remembered = portList->findText(QSettings().value(kLastPortKey).toString());
    portList->setCurrentIndex(remembered >= 0 ? remembered : 0);
    state_.port_name = portList->currentText().toStdString();
    connect(portList, &QComboBox::activated, this,
            [this](int index) { QSettings().setValue(kLastPortKey, portList->itemText(index)); });

    connect(portList, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        std::lock_guard lock(state_.mutex);
        state_.port_name = portList->itemText(index).toStdString();
    });
    connect(fileEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        std::lock_guard lock(state_.mutex);
        state_.rom_path = text.toStdString();  // the whole path, however long
    });
    connect(browse, &QPushButton::clicked, this, [this] { browse_clicked(); });
    connect(flash, &QPushButton::clicked, this, [this] { flash_clicked(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancel_clicked(); });
    connect(dontUseBreak, &QCheckBox::clicked, this, [this](bool on) { set_flag(kNoBreak, on); });
    connect(chainLoad, &QCheckBox::clicked, this, [this](bool on) { set_flag(kChainLoad, on); });

    chooseFile = [](QWidget* owner, const QString& folder) {
        return QFileDialog::getOpenFileName(owner, {}, folder, "ROM Files (*.rom)");
    };
    showError = [this](const QString& text) {
        // Without a screen (a script's offscreen run) a modal box would wait
        // for an OK that nobody can press.
        const QString platform = QGuiApplication::platformName();
        if (platform == "offscreen" || platform == "minimal") {
            std::fprintf(stderr, "Flasher Error: %s\n", text.trimmed().toLocal8Bit().constData());
            return;
        }
        QMessageBox::warning(this, "Flasher Error", text);
    };
}

FlasherWindow::~FlasherWindow() {
    stop_worker();
}

void FlasherWindow::layout_controls() {
    // Dialog units: a quarter of the average character width across, an
    // eighth of the character height down.
    const QFontMetrics metrics(font());
    const double baseX =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
    const double baseY = metrics.height();
    const auto place = [&](QWidget* w, int x, int y, int width, int height) {
        w->setGeometry(qRound(x * baseX / 4), qRound(y * baseY / 8), qRound(width * baseX / 4),
                       qRound(height * baseY / 8));
    };
    place(comLabel, 7, 9, 36, 10);
    place(portList, 51, 7, 76, 12);
    place(fileLabel, 7, 25, 43, 8);
    place(fileEdit, 51, 24, 76, 12);
    place(browse, 132, 24, 12, 12);
    place(progress, 7, 67, 195, 13);
    place(flash, 157, 7, 45, 15);
    place(cancel, 157, 24, 45, 15);
    place(status, 7, 57, 195, 8);
    place(dontUseBreak, 7, 38, 106, 8);
    place(chainLoad, 7, 48, 106, 8);
    setFixedSize(qRound(209 * baseX / 4), qRound(87 * baseY / 8));
}

void FlasherWindow::set_flag(unsigned flag, bool on) {
    if (on) {
        state_.flags |= flag;
    } else {
        state_.flags &= ~flag;
    }
}

void FlasherWindow::select_rom_file(const std::string& path) {
    fileEdit->setText(QString::fromStdString(path));
    {
        std::lock_guard lock(state_.mutex);
        state_.rom_path = path;
    }
    RomHeader header;
    const RunResult result = read_rom_header(path, header);
    if (result != kSuccess) {
        set_status(QString::fromStdString(result_text(result)));
        return;
    }
    const std::string description = rom_description(header);
    const QString text =
        QString::fromLatin1(description.data(), static_cast<int>(description.size()));
    set_status(text);
    setWindowTitle("KVTL (" + text + ")");
}

void FlasherWindow::apply_options(const std::vector<Option>& options) {
    for (const Option& option : options) {
        switch (option.kind) {
            case Option::SelectFile:
                select_rom_file(option.path);
                dontUseBreak->setChecked(true);
                set_flag(kNoBreak, true);
                break;
            case Option::SelectPort:
                if (option.port >= 1 && option.port <= 9) {
                    portList->setCurrentIndex(option.port - 1);
                } else {
                    portList->setCurrentIndex(-1);  // no entry; the port stays what it was
                }
                break;
            case Option::Go:
                state_.auto_close = true;
                state_.start_event.set();
                break;
            case Option::SetRange:
                state_.range_start = option.start;
                state_.range_end = option.end;
                if (option.start != 0 && option.end != 0) state_.flags |= option.flag;
                break;
        }
    }
}

void FlasherWindow::apply_program_options(const ProgramOptions& options) {
    apply_options(options.options);
    if (!options.port.empty()) {
        portList->setCurrentIndex(-1);
        portList->setPlaceholderText(QString::fromLocal8Bit(options.port.c_str()));
        std::lock_guard lock(state_.mutex);
        state_.port_name = options.port;
    }
    if (options.verify) state_.flags |= kVerify;
}

void FlasherWindow::set_status(const QString& text) {
    status->setText(text);
    statusLog.push_back(text);
}

void FlasherWindow::flash_clicked() {
    state_.start_event.set();
}

void FlasherWindow::cancel_clicked() {
    cancel_requested = true;
}

void FlasherWindow::browse_clicked() {
    const QString path = chooseFile(this, QSettings().value(kRomFolderKey).toString());
    if (path.isEmpty()) return;
    QSettings().setValue(kRomFolderKey, QFileInfo(path).absolutePath());
    select_rom_file(path.toStdString());
}

void FlasherWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;  // no cancel command on this window
    QDialog::keyPressEvent(event);
}

void FlasherWindow::closeEvent(QCloseEvent* event) {
    stop_worker();
    event->accept();
    QApplication::quit();
}

void FlasherWindow::set_running(bool running) {
    for (QWidget* w : std::initializer_list<QWidget*>{portList, fileEdit, browse, flash,
                                                      dontUseBreak, chainLoad}) {
        w->setEnabled(!running);
    }
    cancel->setEnabled(running);
}

void FlasherWindow::start_worker() {
    if (!worker_.joinable()) worker_ = std::thread([this] { flash_worker(); });
}

void FlasherWindow::stop_worker() {
    if (!worker_.joinable()) return;
    state_.quitting = true;
    cancel_requested = true;
    state_.start_event.wake();
    errorClosed_.notify_all();
    if (worker_.get_id() == std::this_thread::get_id()) {
        worker_.detach();
    } else {
        worker_.join();
    }
}

void FlasherWindow::error_from_worker(const std::string& text) {
    std::unique_lock lock(errorMutex_);
    errorShowing_ = true;
    const QString message = QString::fromLatin1(text.data(), static_cast<int>(text.size()));
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            if (!state_.quitting) showError(message);
            std::lock_guard done(errorMutex_);
            errorShowing_ = false;
            errorClosed_.notify_all();
        },
        Qt::QueuedConnection);
    errorClosed_.wait(lock, [this] { return !errorShowing_ || state_.quitting.load(); });
}

void FlasherWindow::progress_from_worker(uint32_t total, uint32_t done) {
    const bool first = !state_.range_set;
    state_.range_set = true;
    const int percent = progress_percent(total, done);
    const bool changed = percent != state_.last_percent;
    if (changed) state_.last_percent = percent;
    const int maximum = static_cast<int>(std::min<uint32_t>(total, INT32_MAX));
    const int value = static_cast<int>(std::min(done, total));
    QMetaObject::invokeMethod(
        this,
        [this, first, maximum, value, changed, percent] {
            if (first) progress->setRange(0, maximum);
            progress->setValue(value);
            if (changed) set_status(QString("Flashing unit (%%1)").arg(percent));
        },
        Qt::QueuedConnection);
}

void FlasherWindow::flash_worker() {
    while (state_.start_event.wait(state_.quitting)) {
        state_.start_event.reset();
        if (state_.quitting) return;
        state_.last_percent = 0;
        state_.range_set = false;
        QMetaObject::invokeMethod(
            this,
            [this] {
                set_running(true);
                set_status("Please reset unit");
                progress->setRange(0, 100);
                progress->setValue(0);
            },
            Qt::QueuedConnection);
        std::string port, path;
        {
            std::lock_guard lock(state_.mutex);
            port = state_.port_name;
            path = state_.rom_path;
        }
        RunCallbacks callbacks;
        callbacks.error = [this](const std::string& text) { error_from_worker(text); };
        callbacks.progress = [this](uint32_t total, uint32_t done) {
            progress_from_worker(total, done);
        };
        callbacks.info = [](const std::string&) {};
        callbacks.stop = [this] { return state_.quitting.load(); };
        std::string problem;
        callbacks.problem = [&problem](const std::string& text) { problem = text; };
        const RunResult result = program_unit(port, path, state_.flags, state_.range_start,
                                              state_.range_end, callbacks, programmers_);
        if (state_.quitting) return;
        if (result == kSuccess) {
            state_.programmed_ok = true;
            if (state_.auto_close) {
                QMetaObject::invokeMethod(
                    this, [this] { close(); }, Qt::QueuedConnection);
                return;
            }
        }
        const std::string words = status_after_run(result, state_.last_percent, problem);
        // A script that started the window learns the outcome too.
        std::fprintf(stderr, "%s\n", words.c_str());
        const QString text = QString::fromLocal8Bit(words.c_str());
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                set_status(text);
                set_running(false);
            },
            Qt::QueuedConnection);
    }
}

}  // namespace romwright

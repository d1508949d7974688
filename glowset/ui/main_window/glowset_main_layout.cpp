// The main window's controls, captions, menus and geometry (in twips).
#include "common/widgets/port_list_box.h"
#include "common/widgets/screen_reader_names.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/ui/main_window/glowset_main.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QToolButton>

#include <algorithm>

namespace glowset {
namespace {

// Column positions of the priority table; font and style columns move with
// the option set.
constexpr int kPriorityTop = 5600;
constexpr int kRowStep = 420;
constexpr int kColorLeft = 4800, kSpeedLeft = 6240, kAlignLeft = 7480, kPauseLeft = 8520,
              kBeepLeft = 9260, kTimeoutLeft = 10300;
constexpr int kControlHeight = 315;
// A column header stands 300 twips above its first row: a header as high as
// a control would cover that row's top pixel.
constexpr int kHeaderHeight = 300;
constexpr int kWindowWidth = 12000;

QComboBox* makeList(QWidget* parent, const QString& name) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    // The operator may also type; typed text leaves no entry selected.
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);
    // An entry longer than the box shows its start, not its end (a line edit
    // leaves its cursor, and so its view, at the end of a text it is given).
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [list] {
        if (!list->lineEdit()->hasFocus()) list->lineEdit()->setCursorPosition(0);
    });
    return list;
}

}  // namespace

int GlowsetMain::tw(int twips) const {
    return static_cast<int>(twips * pixelsPerTwip_ + 0.5);
}

void GlowsetMain::buildControls() {
    if (const QScreen* s = screen()) pixelsPerTwip_ = s->logicalDotsPerInchY() / 1440.0;
    auto* central = new QWidget(this);
    setCentralWidget(central);
    // The twips are the least a control gets: a caption wider than that at
    // the font in use widens its control (fitColumns then moves what it
    // would cover).
    const auto place = [&](QWidget* w, int left, int top, int width, int height) {
        int pixels = tw(width), pixelsHigh = tw(height);
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if ((label && !label->text().isEmpty()) || (button && !button->text().isEmpty())) {
            pixels = std::max(pixels, w->sizeHint().width());
            pixelsHigh = std::max(pixelsHigh, w->minimumSizeHint().height());
        }
        w->setGeometry(tw(left), tw(top), pixels, pixelsHigh);
    };
    const auto label = [&](const QString& name, const QString& caption, int left, int top,
                           int width, int height = kControlHeight) {
        auto* l = new QLabel(caption, central);
        l->setObjectName(name);
        place(l, left, top, width, height);
        return l;
    };
    const auto button = [&](const QString& name, const QString& caption, int top) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(name);
        place(b, 9200, top, 2600, 420);
        return b;
    };

    C = new QGroupBox("Comport", central);
    C->setObjectName("C");
    place(C, 240, 60, 2400, 780);
    ComportsList = new widgets::PortListBox(C);
    ComportsList->setObjectName("ComportsList");
    place(ComportsList, 120, 330, 2160, kControlHeight);

    Label23 = label("Label23", "Type  : ", 2880, 200, 1000);
    LEDSignModel = label("LEDSignModel", "", 3880, 200, 2200);
    QFont bold = LEDSignModel->font();
    bold.setBold(true);
    LEDSignModel->setFont(bold);
    FCountLabel = label("FCountLabel", "Build No : ", 2880, 560, 1000);
    FCount = label("FCount", "", 3880, 560, 2200);

    Image1 = label("Image1", "", 6300, 120, 2700);
    place(Image1, 6300, 100, 2700, 1000);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip("Open the maker's web site");
    drawMakerPicture();

    DownloadAll = button("DownloadAll", "Download from Sign", 200);
    UploadAll = button("UploadAll", "Upload to Sign", 680);
    ForceUpload = button("ForceUpload", "Force Upload", 1160);
    UploadFactoryDef = button("UploadFactoryDef", "Upload Factory Defaults", 1640);
    SetupDefaultMsg = button("SetupDefaultMsg", "Setup Default Message", 2120);
    SendTestMsg = button("SendTestMsg", "Send Test Message", 2600);

    CapcodeHeader = label("CapcodeHeader", "Linked to Capcode", 1200, 1000, 2900, kHeaderHeight);
    LinkPriorityHeader =
        label("LinkPriorityHeader", "Linked to Priority", 4200, 1000, 1900, kHeaderHeight);
    for (int i = 0; i < 8; ++i) {
        const int top = 1300 + i * 360;
        LabelID[i] = label(QString("LabelID%1").arg(i), QString("ID   %1").arg(i), 240, top, 900);
        Capcode0[i] = new QLineEdit(central);
        Capcode0[i]->setObjectName(QString("Capcode0_%1").arg(i));
        place(Capcode0[i], 1200, top, 2900, kControlHeight);
        Pri0[i] = makeList(central, QString("Pri0_%1").arg(i));
        place(Pri0[i], 4200, top, 1700, kControlHeight);
    }

    AutoID = new QCheckBox("Auto sequence messages", central);
    AutoID->setObjectName("AutoID");
    AutoID->setToolTip("Increment IDs Automatically for incoming messages");
    place(AutoID, 6200, 1300, 2950, kControlHeight);
    ForceOnID0 = new QCheckBox("Force all messages to ID 0", central);
    ForceOnID0->setObjectName("ForceOnID0");
    place(ForceOnID0, 6200, 1660, 2950, kControlHeight);
    Label24 = label("Label24", "User Defined Reset Command", 6200, 2120, 2950);
    usercmd1 = new QLineEdit(central);
    usercmd1->setObjectName("usercmd1");
    place(usercmd1, 6200, 2440, 2800, kControlHeight);
    TestLabel = label("TestLabel", "", 6200, 2800, 2500);
    TestLabel->hide();

    ProgressUploadAll = new QProgressBar(central);
    ProgressUploadAll->setObjectName("ProgressUploadAll");
    ProgressUploadAll->setMinimum(0);
    ProgressUploadAll->setTextVisible(false);
    place(ProgressUploadAll, 9200, 3140, 2600, 250);
    ProgressUploadAll->hide();
    VersionCheckLabel = label("VersionCheckLabel", "Version Check", 9200, 3480, 2600);

    Textout = label("Textout", "", 240, 4380, 9000);
    Textout->hide();
    ShowPriority = new QToolButton(central);
    ShowPriority->setObjectName("ShowPriority");
    ShowPriority->setArrowType(Qt::DownArrow);
    ShowPriority->setToolTip("Show the priority settings");
    place(ShowPriority, 11300, 4300, 500, 420);
    HidePriority = new QToolButton(central);
    HidePriority->setObjectName("HidePriority");
    HidePriority->setArrowType(Qt::UpArrow);
    HidePriority->setToolTip("Hide the priority settings");
    place(HidePriority, 11300, 4300, 500, 420);
    HidePriority->hide();

    FontHeader = label("FontHeader", "Font", 1200, kPriorityTop, 1000, kHeaderHeight);
    StyleHeader = label("StyleHeader", "Style", 3510, kPriorityTop, 1000, kHeaderHeight);
    ColorHeader = label("ColorHeader", "Color", kColorLeft, kPriorityTop, 1000, kHeaderHeight);
    SpeedHeader = label("SpeedHeader", "Speed", kSpeedLeft, kPriorityTop, 1000, kHeaderHeight);
    AlignHeader = label("AlignHeader", "Align", kAlignLeft, kPriorityTop, 900, kHeaderHeight);
    PauseHeader = label("PauseHeader", "Pause", kPauseLeft, kPriorityTop, 700, kHeaderHeight);
    BeepHeader = label("BeepHeader", "Beep", kBeepLeft, kPriorityTop, 900, kHeaderHeight);
    TimeoutHeader =
        label("TimeoutHeader", "Timeout (Secs)", kTimeoutLeft, kPriorityTop, 1500, kHeaderHeight);
    for (int p = 0; p < 5; ++p) {
        const int top = kPriorityTop + 300 + p * kRowStep;
        PriorityLabels[p] =
            label(QString("Label%1").arg(p), QString("Priority %1").arg(p), 120, top, 1050);
        FontP[p] = makeList(central, QString("FontP%1").arg(p));
        StyleP[p] = makeList(central, QString("StyleP%1").arg(p));
        ColorP[p] = makeList(central, QString("ColorP%1").arg(p));
        place(ColorP[p], kColorLeft, top, 1400, kControlHeight);
        SpeedP[p] = makeList(central, QString("SpeedP%1").arg(p));
        place(SpeedP[p], kSpeedLeft, top, 1200, kControlHeight);
        AlignmentP[p] = makeList(central, QString("AlignmentP%1").arg(p));
        place(AlignmentP[p], kAlignLeft, top, 1000, kControlHeight);
        PauseP[p] = makeList(central, QString("PauseP%1").arg(p));
        place(PauseP[p], kPauseLeft, top, 700, kControlHeight);
        BeepP[p] = makeList(central, QString("BeepP%1").arg(p));
        place(BeepP[p], kBeepLeft, top, 1000, kControlHeight);
        TimeoutP[p] = new QLineEdit(central);
        TimeoutP[p]->setObjectName(QString("TimeoutP%1").arg(p));
        place(TimeoutP[p], kTimeoutLeft, top, 900, kControlHeight);
    }
    layoutOptionLists(genericOptionSet());
    nameControlsForScreenReaders();
    fitColumns();
}

// Moves a column right when captions widened the one before it, and makes
// the window wide enough for everything.
void GlowsetMain::fitColumns() {
    const auto shiftRight = [this](std::initializer_list<QWidget*> before,
                                   std::initializer_list<QWidget*> column) {
        int right = 0;
        for (QWidget* w : before) right = std::max(right, w->geometry().right());
        const int shift = right + tw(60) - (*column.begin())->x();
        if (shift <= 0) return;
        for (QWidget* w : column) w->move(w->x() + shift, w->y());
    };
    // The buttons of the right column share the width of the widest.
    int buttonWidth = 0;
    for (QWidget* b :
         {DownloadAll, UploadAll, ForceUpload, UploadFactoryDef, SetupDefaultMsg, SendTestMsg}) {
        buttonWidth = std::max(buttonWidth, b->width());
    }
    for (QWidget* b :
         {DownloadAll, UploadAll, ForceUpload, UploadFactoryDef, SetupDefaultMsg, SendTestMsg}) {
        b->resize(buttonWidth, b->height());
    }
    shiftRight({Label23, FCountLabel}, {FCount, LEDSignModel});
    shiftRight({AutoID, ForceOnID0, Label24},
               {DownloadAll, UploadAll, ForceUpload, UploadFactoryDef, SetupDefaultMsg, SendTestMsg,
                ProgressUploadAll, VersionCheckLabel});
    int right = tw(kWindowWidth);
    for (QWidget* w : centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        right = std::max(right, w->geometry().right() + tw(200));
    }
    resize(right, tw(kShortHeightTwips));
}

// The grid's cells have their row and column headers beside them, not a
// label of their own: each is named "<row> <column>" as a reader would
// announce it.
void GlowsetMain::nameControlsForScreenReaders() {
    using widgets::nameForScreenReaders;
    for (int i = 0; i < 8; ++i) {
        const QString id = QString("ID %1").arg(i);
        nameForScreenReaders(Capcode0[i], id + " " + CapcodeHeader->text());
        nameForScreenReaders(Pri0[i], id + " " + LinkPriorityHeader->text());
    }
    widgets::labelFor(Label24, usercmd1);
    nameForScreenReaders(ShowPriority, ShowPriority->toolTip());
    nameForScreenReaders(HidePriority, HidePriority->toolTip());
    const std::array<QLabel*, kPriorityListCount> headers = {
        FontHeader, StyleHeader, ColorHeader, SpeedHeader, AlignHeader, PauseHeader, BeepHeader};
    for (int p = 0; p < kPriorityCount; ++p) {
        const auto lists = priorityLists(p);
        for (int field = 0; field < kPriorityListCount; ++field) {
            nameForScreenReaders(lists[field],
                                 PriorityLabels[p]->text() + " " + headers[field]->text());
        }
        nameForScreenReaders(TimeoutP[p], PriorityLabels[p]->text() + " Timeout");
    }
    // The maker picture opens the maker's site: a link a keyboard can reach.
    widgets::presentAsLink(Image1, "Maker's web site");
    Image1->setAccessibleDescription(Image1->toolTip());
}

void GlowsetMain::layoutOptionLists(const OptionSet& set) {
    for (int p = 0; p < 5; ++p) {
        const int top = kPriorityTop + 300 + p * kRowStep;
        FontP[p]->setGeometry(tw(1200), tw(top), tw(set.fontListWidth), tw(kControlHeight));
        StyleP[p]->setGeometry(tw(set.styleListLeft), tw(top), tw(set.styleListWidth),
                               tw(kControlHeight));
        SpeedP[p]->setEnabled(set.speedAndAlignmentEnabled);
        AlignmentP[p]->setEnabled(set.speedAndAlignmentEnabled);
    }
    StyleHeader->move(tw(set.styleListLeft), StyleHeader->y());
}

// The maker's mark, drawn rather than loaded so the program needs no files.
void GlowsetMain::drawMakerPicture() {
    // Drawn with as many device pixels as the screen has, so that it stays
    // sharp on a high-density screen; the painter works in logical pixels.
    const qreal ratio = Image1->devicePixelRatioF();
    QPixmap picture(Image1->size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(20, 20, 20));
    painter.setPen(Qt::NoPen);
    const QRect area(QPoint(0, 0), Image1->size());
    painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), 6, 6);
    const int dots = 12;
    const double step = area.width() / static_cast<double>(dots + 1);
    for (int i = 1; i <= dots; ++i) {
        painter.setBrush(i % 3 == 0   ? QColor(255, 60, 40)
                         : i % 3 == 1 ? QColor(255, 176, 0)
                                      : QColor(60, 220, 60));
        painter.drawEllipse(QPointF(step * i, area.height() * 0.22), 2.5, 2.5);
    }
    painter.setPen(QColor(255, 176, 0));
    QFont font = Image1->font();
    font.setBold(true);
    font.setPixelSize(std::max(8, area.height() / 3));
    painter.setFont(font);
    painter.drawText(area.adjusted(0, area.height() / 6, 0, 0), Qt::AlignCenter, "ORVANTIS");
    Image1->setPixmap(picture);
}

void GlowsetMain::buildMenus() {
    QMenu* signFile = menuBar()->addMenu("&File");
    signOpenFile = signFile->addAction("&Open");
    signSaveAs = signFile->addAction("Save");
    signExit = signFile->addAction("E&xit");
    QMenu* signTools = menuBar()->addMenu("&Tools");
    signUpgrade = signTools->addAction("&Upgrade");
    QMenu* signHelp = menuBar()->addMenu("&Help");
    signAbout = signHelp->addAction("&About");
    checkAtStartUp = signHelp->addAction("Check for a New Version at Start-up");
    // The start-up version check can be switched off; the choice is remembered.
    static constexpr const char* kCheckKey = "versionCheck/atStartUp";
    checkAtStartUp->setCheckable(true);
    checkAtStartUp->setChecked(QSettings().value(kCheckKey, true).toBool());
    connect(checkAtStartUp, &QAction::toggled, this,
            [](bool on) { QSettings().setValue(kCheckKey, on); });
    signOpenFile->setObjectName("signOpenFile");
    signSaveAs->setObjectName("signSaveAs");
    signExit->setObjectName("signExit");
    signUpgrade->setObjectName("signUpgrade");
    signAbout->setObjectName("signAbout");
    checkAtStartUp->setObjectName("checkAtStartUp");
}

}  // namespace glowset

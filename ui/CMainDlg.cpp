#include "ui/CMainDlg.h"

#include "ui/CBusyAnimation.h"
#include "ui/CResultsList.h"
#include "ui/DialogUnits.h"
#include "ui/Trace.h"
#include "ui/about/CAboutBox.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSizeGrip>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdarg>
#include <utility>

namespace {

constexpr int kDialogWidth = 546; // dialog units
constexpr int kDialogHeight = 175;
constexpr std::array<int, ui::kColumnCount> kInitialColumnWidths{75, 75, 200, 200, 250, 75};
constexpr int kWorkAreaMargin = 100;
// Stored coordinates beyond this many pixels are taken as this many, so that no width or
// height computed from them can overflow.
constexpr std::int64_t kCoordinateLimit = 1 << 20;

const char* const kStatusPrefix = "QueltImprort - ";
const char* const kPlacementSetting = "Placement";

int clampedCoordinate(std::int32_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, -kCoordinateLimit, kCoordinateLimit));
}

QScreen* primaryScreen()
{
    return QGuiApplication::primaryScreen();
}

// `rect` itself when some of it lies on a screen; otherwise centred on the primary screen.
QRect onSomeScreen(const QRect& rect)
{
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(rect)) {
            return rect;
        }
    }
    const QRect area = primaryScreen()->availableGeometry();
    const QSize size = rect.size().expandedTo(QSize(0, 0)).boundedTo(area.size());
    return {area.x() + (area.width() - size.width()) / 2,
            area.y() + (area.height() - size.height()) / 2, size.width(), size.height()};
}

} // namespace

// Resources of a static library are registered by name, outside any namespace.
static void initResources()
{
    Q_INIT_RESOURCE(quelt);
}

CMainDlg::CMainDlg(std::string settingsFile, ui::DialogServices services, QWidget* parent)
    : QDialog(parent), m_settingsFile(std::move(settingsFile)), m_services(std::move(services)),
      m_gui(ui::GuiChannel::open(this))
{
    initResources();
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setWindowTitle(QStringLiteral("QueltImport"));
    createControls();
    OnInitDialog();
}

CMainDlg::~CMainDlg()
{
    disposeOfScanJobs();
}

void CMainDlg::createControls()
{
    const ui::DialogBaseUnits units = ui::baseUnitsOf(font());
    const auto at = [&](int x, int y, int width, int height) {
        return ui::dialogRect(units, x, y, width, height);
    };
    resize(at(0, 0, kDialogWidth, kDialogHeight).size());

    // In template order, which is also the tab order.
    m_scanButton = addButton(kIdScan, "Scan", at(489, 66, 27, 14), "scanButton");
    m_scanButton->setDefault(true);
    m_quitButton = addButton(kIdQuit, "Quit", at(489, 138, 50, 14), "quitButton");
    m_aboutButton = addButton(kIdAbout, "&About...", at(489, 154, 50, 14), "aboutButton");
    m_aboutButton->setToolTip(
        QStringLiteral("Display program information, version number and copyright\nAbout"));
    m_list = new CResultsList(this);
    m_list->setObjectName(QStringLiteral("resultsList"));
    m_list->setGeometry(at(6, 6, 477, 162));
    m_saveButton = addButton(kIdSave, "Save", at(489, 102, 50, 14), "saveButton");
    m_loadButton = addButton(kIdLoad, "Load", at(489, 84, 50, 14), "loadButton");
    m_clearButton = addButton(kIdClear, "Clear", at(489, 120, 50, 14), "clearButton");
    busyAnimation = new CBusyAnimation(this);
    busyAnimation->setObjectName(QStringLiteral("busyAnimation"));
    busyAnimation->setGeometry(at(523, 67, 14, 13));
    m_makeButton = addButton(kIdMake, "Make", at(489, 7, 50, 13), "makeButton");
    m_makeButton->hide(); // created without the visible style and never shown

    connect(m_list, &CResultsList::commandChosen, this, &CMainDlg::dispatchCommand);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CMainDlg::OnColumnClick);
}

QPushButton* CMainDlg::addButton(int id, const char* caption, const QRect& rect, const char* name)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    // Enter is Scan, the default command, wherever the focus is among the buttons; a button
    // taking the default as it takes the focus made Enter quit once a scan had moved the
    // focus from Scan to Quit.
    button->setAutoDefault(false);
    button->setGeometry(rect);
    connect(button, &QPushButton::clicked, this, [this, id] { dispatchCommand(id); });
    return button;
}

void CMainDlg::OnInitDialog()
{
    m_settings.load(m_settingsFile);
    centreOnScreen();
    setUpResizeLayout();
    setAcceptDrops(true);
    m_sortDirections.assign(ui::kColumnCount, 1);
    m_lastSortColumn = 0;
    restorePlacement();
    setUpList();
    setWindowIcon(QIcon(QStringLiteral(":/quelt/icon.png")));
    for (int column = 0; column < ui::kColumnCount; ++column) {
        m_list->setColumnWidth(column, kInitialColumnWidths[static_cast<std::size_t>(column)]);
    }
    laidOut = true;
    OnSize();
    setUpBusyAnimation();
}

void CMainDlg::centreOnScreen()
{
    const QRect area = primaryScreen()->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void CMainDlg::setUpResizeLayout()
{
    setSizeGripEnabled(true);
    m_layout.add(m_list, CResizeLayout::Anchor::Stretch);
    for (QWidget* control :
         {static_cast<QWidget*>(busyAnimation), static_cast<QWidget*>(m_aboutButton),
          static_cast<QWidget*>(m_quitButton), static_cast<QWidget*>(m_scanButton),
          static_cast<QWidget*>(m_saveButton), static_cast<QWidget*>(m_loadButton),
          static_cast<QWidget*>(m_clearButton), static_cast<QWidget*>(m_makeButton)}) {
        m_layout.add(control, CResizeLayout::Anchor::Move);
    }
    m_layout.record(size());
    setMinimumSize(size());
}

void CMainDlg::setUpList()
{
    if (m_list->selectionMode() == QAbstractItemView::SingleSelection) {
        ui::trace("SINGLE");
    }
}

void CMainDlg::setUpBusyAnimation()
{
    // A picture that cannot be read leaves the control empty, without a message.
    if (busyAnimation->open(QStringLiteral(":/quelt/busy.png"))) {
        busyAnimation->stop();
    }
}

void CMainDlg::OnSize()
{
    if (isMinimized() || !laidOut) {
        return;
    }
    m_list->fitColumns();
}

void CMainDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event); // keeps the size grip in the corner
    m_layout.apply(size());
    OnSize();
}

void CMainDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (auto* grip = findChild<QSizeGrip*>()) {
            grip->setVisible(!isMaximized());
        }
    }
}

ui::WindowPlacement CMainDlg::defaultPlacement() const
{
    const QRect area = primaryScreen()->availableGeometry();
    ui::WindowPlacement placement;
    placement.left = area.x() + kWorkAreaMargin;
    placement.top = area.y() + kWorkAreaMargin;
    placement.right = area.x() + area.width() - kWorkAreaMargin;
    placement.bottom = area.y() + area.height() - kWorkAreaMargin;
    return placement;
}

void CMainDlg::restorePlacement()
{
    std::string text;
    if (!m_settings.readTextSetting(kPlacementSetting, text)) {
        return; // first start: template size, centred
    }
    ui::WindowPlacement placement = defaultPlacement();
    if (!text.empty()) {
        ui::decodePlacementText(text, placement); // a damaged text keeps the default
    }
    applyPlacement(placement);
}

void CMainDlg::applyPlacement(const ui::WindowPlacement& placement)
{
    const int left = clampedCoordinate(placement.left);
    const int top = clampedCoordinate(placement.top);
    const QRect normal(left, top, clampedCoordinate(placement.right) - left,
                       clampedCoordinate(placement.bottom) - top);
    setGeometry(onSomeScreen(normal));
    // Never starts minimised: a minimised placement opens as a normal window.
    setWindowState(placement.showCmd == ui::WindowPlacement::kShowMaximized ? Qt::WindowMaximized
                                                                            : Qt::WindowNoState);
}

ui::WindowPlacement CMainDlg::currentPlacement() const
{
    ui::WindowPlacement placement = defaultPlacement();
    if (isMinimized()) {
        placement.showCmd = ui::WindowPlacement::kShowMinimized;
    } else if (isMaximized()) {
        placement.showCmd = ui::WindowPlacement::kShowMaximized;
    }
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    placement.left = normal.x();
    placement.top = normal.y();
    placement.right = normal.x() + normal.width();
    placement.bottom = normal.y() + normal.height();
    return placement;
}

void CMainDlg::OnQuit()
{
    if (m_quitting) {
        return;
    }
    m_quitting = true;
    m_settings.writeTextSetting(kPlacementSetting, ui::placementText(currentPlacement()));
    m_settings.save(m_settingsFile);
    close();
    // Queued like a quit message: the event loop ends with 0 once this handler returns.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void CMainDlg::closeEvent(QCloseEvent* event)
{
    if (!m_quitting) {
        OnQuit(); // the window's close command is Quit
    }
    event->accept();
}

void CMainDlg::reject()
{
    OnQuit(); // Escape while a button has the focus
}

bool CMainDlg::dispatchCommand(int id)
{
    switch (id) {
    case kIdMake:
        OnMake();
        return true;
    case kIdAbout:
        OnAppAbout();
        return true;
    case kIdScan:
        OnScan();
        return true;
    case kIdQuit:
        OnQuit();
        return true;
    case CResultsList::kCopyCommand:
        m_list->OnCopy();
        return true;
    case CResultsList::kDeleteCommand:
        m_list->OnDelete();
        return true;
    case kIdSave:
        OnSave();
        return true;
    case kIdLoad:
        OnLoad();
        return true;
    case kIdClear:
        m_list->OnClear();
        return true;
    default:
        return false;
    }
}

void CMainDlg::OnColumnClick(int column)
{
    if (column < 0 || column >= static_cast<int>(m_sortDirections.size())) {
        return;
    }
    std::int32_t& direction = m_sortDirections[static_cast<std::size_t>(column)];
    m_list->sortRows(column, direction);
    direction = -direction;
    m_lastSortColumn = column;
}

void CMainDlg::OnAppAbout()
{
    CAboutBox::showModal(this);
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainDlg::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile().toLocal8Bit().toStdString());
        }
    }
    event->acceptProposedAction();
    OnDropFiles(paths);
}

void CMainDlg::setStatus(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    const std::string text = kStatusPrefix + ui::formatMessage(format, args);
    va_end(args);
    assert(QThread::currentThread() == thread());
    setWindowTitle(QString::fromLocal8Bit(text));
}

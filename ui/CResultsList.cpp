#include "ui/CResultsList.h"

#include "ui/CCellDelegate.h"
#include "ui/CResultsModel.h"
#include "ui/Trace.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <numeric>
#include <utility>

namespace {

constexpr int kCopyCapacity = 256;
// The parts of the client width each column gets: the short texts (fingerprint, serial
// number, check word) 3, the long ones 8.
constexpr std::array<int, ui::kColumnCount> kColumnParts{3, 3, 8, 8, 8, 3};

bool isPrintable(const QString& text)
{
    return !text.isEmpty() && text.at(0).unicode() > 32 && text.at(0).unicode() != 127;
}

} // namespace

CResultsList::CResultsList(QWidget* parent)
    : QTableView(parent), m_model(new CResultsModel(this)), m_delegate(new CCellDelegate(this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setUpLook();
    setUpMenu();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CResultsList::followSelection);
}

void CResultsList::setUpLook()
{
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    // Editors open by the list's own rules; this trigger only lets a key reach a new editor.
    setEditTriggers(AnyKeyPressed);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(false);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(false);

    // A light selection, so that every cell's own colour stays readable in a selected row.
    QPalette look = palette();
    const QColor selection(204, 228, 247);
    look.setColor(QPalette::Active, QPalette::Highlight, selection);
    look.setColor(QPalette::Inactive, QPalette::Highlight, selection);
    setPalette(look);
}

void CResultsList::setUpMenu()
{
    m_menu = new QMenu(QStringLiteral("OUTPUT"), this);
    m_menu->setObjectName(QStringLiteral("outputMenu"));
    QAction* copy = m_menu->addAction(QStringLiteral("Copy"));
    copy->setObjectName(QStringLiteral("copyAction"));
    QAction* remove = m_menu->addAction(QStringLiteral("Delete"));
    remove->setObjectName(QStringLiteral("deleteAction"));
    connect(copy, &QAction::triggered, this, [this] { emit commandChosen(kCopyCommand); });
    connect(remove, &QAction::triggered, this, [this] { emit commandChosen(kDeleteCommand); });
}

void CResultsList::showGames(const GameSet& games)
{
    closeOpenEditor();
    std::vector<ui::CellRow> rows;
    rows.reserve(games.size());
    for (const GamePtr& game : games.get<byFingerprint>()) {
        rows.push_back(ui::cellsForGame(*game));
    }
    m_model->setRows(std::move(rows));
}

void CResultsList::addGameRow(const CGame& game)
{
    m_model->appendRow(ui::cellsForGame(game));
}

int CResultsList::rowCount() const
{
    return m_model->rowCount();
}

std::string CResultsList::cellText(int row, int column, int capacity) const
{
    return ui::cutText(cellText(row, column), capacity);
}

std::string CResultsList::cellText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ui::kColumnCount) {
        return {};
    }
    return m_model->cell(row, column).text;
}

std::string CResultsList::rowLine(int row) const
{
    std::string line;
    for (int column = 0; column < ui::kSavedColumnCount; ++column) {
        if (column > 0) {
            line += ',';
        }
        line += cellText(row, column, kCopyCapacity);
    }
    return line;
}

int CResultsList::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int CResultsList::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

int CResultsList::currentColumn() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

void CResultsList::sortRows(int column, int direction)
{
    closeOpenEditor();
    m_model->sortRows(column, direction);
}

std::array<int, ui::kColumnCount> CResultsList::proportionalWidths(int clientWidth)
{
    const int parts = std::accumulate(kColumnParts.begin(), kColumnParts.end(), 0);
    std::array<int, ui::kColumnCount> widths{};
    for (std::size_t column = 0; column < widths.size(); ++column) {
        widths[column] = clientWidth * kColumnParts[column] / parts;
    }
    return widths;
}

int CResultsList::clientWidth() const
{
    // Before the list is first shown its viewport has not been laid out yet.
    return isVisible() ? viewport()->width() : contentsRect().width();
}

void CResultsList::fitColumns()
{
    m_fitsColumns = true;
    m_fittedWidth = clientWidth();
    const auto widths = proportionalWidths(m_fittedWidth);
    for (int column = 0; column < ui::kColumnCount; ++column) {
        setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
    }
}

void CResultsList::OnCopy()
{
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    std::string text;
    for (const char c : rowLine(row)) {
        text += c;
        if (c == '\r') {
            text += '\n';
        }
    }
    QGuiApplication::clipboard()->setText(QString::fromLocal8Bit(text));
}

void CResultsList::OnDelete()
{
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    closeOpenEditor();
    m_model->removeRows(row, 1);
    // The view would select a neighbour to keep one row selected; the list keeps none.
    clearCurrentCell();
}

void CResultsList::OnClear()
{
    closeOpenEditor();
    m_model->setRows({});
}

void CResultsList::OnListRightClick(const QPoint& globalPos)
{
    if (selectedRow() < 0 || currentColumn() < 0) {
        return;
    }
    window()->raise();
    window()->activateWindow();
    m_menu->popup(globalPos);
}

void CResultsList::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        moveCurrentColumn(-1);
        break;
    case Qt::Key_Right:
        moveCurrentColumn(1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_F2:
        editCurrentCell(nullptr);
        break;
    case Qt::Key_Delete:
        editCurrentCell(event);
        break;
    default:
        if (isPrintable(event->text())) {
            editCurrentCell(event);
        } else {
            QTableView::keyPressEvent(event);
        }
    }
    // The list takes every key, so Enter and Escape never reach the dialog's buttons.
    event->accept();
}

void CResultsList::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        leftPress(event, index);
        return;
    }
    if (event->button() == Qt::RightButton) {
        closeOpenEditor();
        if (!index.isValid()) {
            clearCurrentCell();
            return;
        }
    }
    QTableView::mousePressEvent(event);
}

void CResultsList::leftPress(QMouseEvent* event, const QModelIndex& index)
{
    closeOpenEditor();
    if (!index.isValid()) {
        clearCurrentCell();
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        ui::trace("shift key");
    }
    if (event->modifiers() & Qt::ControlModifier) {
        ui::trace("ctrl key");
        selectionModel()->select(index,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_ctrlClicked = true; // its release must not reach the view, which would toggle the row
        return;
    }
    const bool again = index == currentIndex() && (index.flags() & Qt::ItemIsEditable);
    QTableView::mousePressEvent(event);
    if (again) {
        edit(index);
    }
}

void CResultsList::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click is a click like any other.
    mousePressEvent(event);
}

void CResultsList::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && std::exchange(m_ctrlClicked, false)) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) {
        OnListRightClick(event->globalPosition().toPoint());
    }
}

void CResultsList::wheelEvent(QWheelEvent* event)
{
    closeOpenEditor();
    QTableView::wheelEvent(event);
}

void CResultsList::resizeEvent(QResizeEvent* event)
{
    // Also the viewport's resizes, as a vertical scrollbar comes or goes.
    closeOpenEditor();
    QTableView::resizeEvent(event);
    if (m_fitsColumns && clientWidth() != m_fittedWidth) {
        fitColumns();
    }
}

void CResultsList::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    // Rows come into view; the list never moves sideways by itself, which would hide the
    // first columns' left edges behind a wide cell.
    QScrollBar* sideways = horizontalScrollBar();
    const QSignalBlocker blocker(sideways);
    const int x = sideways->value();
    QTableView::scrollTo(index, hint);
    sideways->setValue(x);
}

void CResultsList::scrollContentsBy(int dx, int dy)
{
    closeOpenEditor();
    QTableView::scrollContentsBy(dx, dy);
}

bool CResultsList::editCurrentCell(QKeyEvent* key)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !(index.flags() & Qt::ItemIsEditable)) {
        return false;
    }
    scrollTo(index);
    if (key == nullptr) {
        return edit(index, AllEditTriggers, nullptr);
    }
    return edit(index, AnyKeyPressed, key); // the editor receives the key
}

void CResultsList::moveCurrentColumn(int delta)
{
    const QModelIndex index = currentIndex();
    const int column = index.column() + delta;
    if (!index.isValid() || column < 0 || column >= ui::kColumnCount) {
        return;
    }
    const QModelIndex next = m_model->index(index.row(), column);
    selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    scrollTo(next);
}

void CResultsList::clearCurrentCell()
{
    clearSelection();
    selectionModel()->clearCurrentIndex();
}

void CResultsList::closeOpenEditor()
{
    if (state() != EditingState) {
        return;
    }
    QWidget* editor = m_delegate->lastEditor();
    setFocus();
    // Taking the focus may already have committed and closed it.
    if (editor != nullptr && state() == EditingState) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CResultsList::followSelection()
{
    const int row = selectedRow();
    if (row < 0 || row == currentRow()) {
        return;
    }
    const int column = currentColumn() < 0 ? 0 : currentColumn();
    selectionModel()->setCurrentIndex(m_model->index(row, column), QItemSelectionModel::NoUpdate);
}

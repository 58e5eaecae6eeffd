#include "ui/CResultsModel.h"

#include <QColor>

#include <algorithm>
#include <numeric>

namespace {
constexpr int kSortCapacity = 256;
}

int CResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ui::kColumnCount;
}

QVariant CResultsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const ui::Cell& c = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromLocal8Bit(c.text);
    case Qt::ForegroundRole:
        return QColor(c.colour.r, c.colour.g, c.colour.b);
    case Qt::ToolTipRole:
        return c.tip.empty() ? QVariant() : QString::fromLocal8Bit(c.tip);
    default:
        return {};
    }
}

QVariant CResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ui::kColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromLatin1(ui::kColumnHeaders[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags CResultsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && cell(index.row(), index.column()).kind == ui::CellKind::Editable) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

bool CResultsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) ||
        !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    std::string& text = m_rows[row][column].text;
    // Bytes the local encoding cannot show come back from the editor as replacement
    // characters: a text left as it was keeps its bytes.
    if (value.toString() == QString::fromLocal8Bit(text)) {
        return true;
    }
    text = value.toString().toLocal8Bit().toStdString();
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

bool CResultsModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount()) {
        return false;
    }
    beginRemoveRows({}, row, row + count - 1);
    const auto first = m_rows.begin() + row;
    m_rows.erase(first, first + count);
    endRemoveRows();
    return true;
}

void CResultsModel::appendRow(const ui::CellRow& cells)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_rows.push_back(cells);
    endInsertRows();
}

void CResultsModel::setRows(std::vector<ui::CellRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

const ui::Cell& CResultsModel::cell(int row, int column) const
{
    return m_rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

void CResultsModel::sortRows(int column, int direction)
{
    if (column < 0 || column >= ui::kColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::string> keys;
    keys.reserve(m_rows.size());
    for (const ui::CellRow& row : m_rows) {
        keys.push_back(ui::cutText(row[static_cast<std::size_t>(column)].text, kSortCapacity));
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int compared =
            ui::compareFolded(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)]);
        return direction > 0 ? compared > 0 : compared < 0;
    });

    std::vector<ui::CellRow> sorted;
    std::vector<int> newRowOf(m_rows.size());
    sorted.reserve(m_rows.size());
    for (const int oldRow : order) {
        newRowOf[static_cast<std::size_t>(oldRow)] = static_cast<int>(sorted.size());
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(oldRow)]));
    }
    m_rows = std::move(sorted);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.append(this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

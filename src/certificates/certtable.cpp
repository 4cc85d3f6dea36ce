#include "certificates/certtable.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QHash>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QSet>
#include <QTableWidget>
#include <QToolTip>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// Puts `text` into a cell, into the item already there when there is one: a refresh mostly
// finds the same certificates again, and replacing tens of thousands of items each time costs
// more than all the rest of it.
QTableWidgetItem *setCell(QTableWidget *table, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = table->item(row, column)) {
        item->setText(text);
        return item;
    }
    auto *item = new QTableWidgetItem(text);
    table->setItem(row, column, item);
    return item;
}

bool rowMatches(const QTableWidget *table, int row, const QString &text)
{
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem *item = table->item(row, column);
        if (item && item->text().contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Watches the table for Enter and Return, and its viewport for tooltips; the items themselves
// hold nothing but their text.
class KeysAndToolTips : public QObject
{
public:
    KeysAndToolTips(QTableWidget *table, std::function<void(const QModelIndex &)> open)
        : QObject(table)
        , table(table)
        , viewport(table->viewport())
        , open(std::move(open))
    {
        table->installEventFilter(this);
        viewport->installEventFilter(this);
    }

    // Events come here while the table is being destroyed too: the type is looked at first, and
    // the table is not asked for its viewport then.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched == table) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            const QModelIndex current = table->currentIndex();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && current.isValid()) {
                open(current);
                return true;
            }
        }
        if (event->type() == QEvent::ToolTip && watched == viewport) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const QModelIndex index = table->indexAt(help->pos());
            // Cut off by its column or by the edge of the table, when the column runs past it.
            const QRect cell = table->visualRect(index) & viewport->rect();
            QStringList lines;
            if (index.isValid() && table->sizeHintForIndex(index).width() > cell.width())
                lines << index.data().toString();
            // The thumbprint's colour comes from the end date; today is the day of the hover.
            const QTableWidgetItem *end = table->item(index.row(), 5);
            if (index.isValid() && index.column() == 0 && end)
                lines << CertListing::expiryToolTip(end->text(), QDate::currentDate());
            if (!lines.isEmpty()) {
                QToolTip::showText(help->globalPos(), lines.join(QLatin1Char('\n')), viewport,
                                   cell);
                return true;
            }
        }
        return false;
    }

private:
    QTableWidget *table;
    QWidget *viewport;
    std::function<void(const QModelIndex &)> open;
};

} // namespace

void CertTable::fill(QTableWidget *table, const QList<CertificateRecord> &records)
{
    // A sorted table moves a row as soon as one of its cells is set, and the next cells would
    // then land on another certificate's row; it is sorted once, at the end. Nor is anything
    // painted before the table is complete.
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    table->setUpdatesEnabled(false);
    // No row stays chosen: after a refresh a row may hold another certificate.
    table->selectionModel()->clear();
    table->setRowCount(records.size());
    // One brush per expiry colour, shared by all the cells of that colour.
    QHash<QRgb, QBrush> brushes;
    for (int row = 0; row < records.size(); ++row) {
        const CertificateRecord &r = records.at(row);
        QTableWidgetItem *thumbprint = setCell(table, row, 0, r.thumbprint);
        if (r.daysLeft) {
            const ExpiryColour c = CertListing::expiryColour(*r.daysLeft);
            const QColor colour(c.red, c.green, c.blue, c.alpha);
            auto brush = brushes.find(colour.rgba());
            if (brush == brushes.end())
                brush = brushes.insert(colour.rgba(), QBrush(colour));
            thumbprint->setBackground(*brush);
        } else {
            thumbprint->setData(Qt::BackgroundRole, QVariant());
        }
        setCell(table, row, 1, r.store);
        setCell(table, row, 2, r.owner);
        setCell(table, row, 3, r.issuer);
        setCell(table, row, 4, r.notBefore);
        setCell(table, row, 5, r.notAfter);
        if (r.container)
            setCell(table, row, 6, *r.container);
        else
            delete table->takeItem(row, 6);
    }
    table->setUpdatesEnabled(true);
    table->setSortingEnabled(sorting);
}

void CertTable::fitColumns(QTableWidget *table)
{
    // Qt measures a text by laying it out: its own fitting, from the first 1000 rows, took longer
    // than filling 10,000 rows. Only the longest texts of a column are measured here, from all
    // its shown rows, the same text once; no shorter text is as wide unless it is made of much
    // wider letters, and then its tooltip shows it whole.
    const int measured = 20;
    const int columns = table->columnCount();
    QVector<QVector<std::pair<int, int>>> lengths(columns); // of a text, and its row
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->isRowHidden(row))
            continue;
        for (int column = 0; column < columns; ++column) {
            if (const QTableWidgetItem *item = table->item(row, column))
                lengths[column].append({item->text().size(), row});
        }
    }
    QHeaderView *header = table->horizontalHeader();
    for (int column = 0; column < columns; ++column) {
        QVector<std::pair<int, int>> &texts = lengths[column];
        const auto longest = texts.begin() + std::min<int>(measured, texts.size());
        std::partial_sort(texts.begin(), longest, texts.end(), std::greater<>());
        QSet<QString> seen;
        int width = 0;
        for (auto at = texts.begin(); at != longest; ++at) {
            const QModelIndex index = table->model()->index(at->second, column);
            const QString text = index.data().toString();
            if (seen.contains(text))
                continue;
            seen.insert(text);
            width = std::max(width, table->sizeHintForIndex(index).width());
        }
        // As Qt's own fitting: the grid line, the header's text and the header's bounds.
        width = std::max(width + (table->showGrid() ? 1 : 0), header->sectionSizeHint(column));
        header->resizeSection(
            column, std::clamp(width, header->minimumSectionSize(), header->maximumSectionSize()));
    }
}

void CertTable::applyFilter(QTableWidget *table, const QString &text)
{
    // Hiding rows while the table takes updates costs several times as much
    // (10,000 certificates, nearly all of them hidden by a keystroke: 85 ms instead of 18 ms).
    const bool updates = table->updatesEnabled();
    table->setUpdatesEnabled(false);
    for (int row = 0; row < table->rowCount(); ++row) {
        const bool hidden = !text.isEmpty() && !rowMatches(table, row, text);
        if (table->isRowHidden(row) != hidden)
            table->setRowHidden(row, hidden);
    }
    table->setUpdatesEnabled(updates);
    // Signing and decrypting take the current row: it must be one the user can see.
    const int current = table->currentRow();
    if (current >= 0 && table->isRowHidden(current))
        table->selectionModel()->clear();
}

void CertTable::addKeysAndToolTips(QTableWidget *table,
                                   std::function<void(const QModelIndex &)> open)
{
    new KeysAndToolTips(table, std::move(open));
}

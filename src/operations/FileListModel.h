#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// One row of a file list: a file of the listed folder as the list windows show it. A row keeps
// what it shows, not the texts: those are made when shown, as a list may hold a great many
// rows.
struct FileRow
{
    // How the size and the date read: as the lists lay out a listed file, or as a list made
    // for one named file shows it (the size as a plain number, the date in the runtime's
    // default form).
    enum class Layout : quint8 { Listed, Named };

    QString name;
    qint64 size = 0;
    double modified = 0.0; // the last write time, as a local automation date
    int imageNumber = 0;   // the picture of the name's type
    Layout layout = Layout::Listed;
    bool checked = false;

    // A row as the lists lay out a listed file, the picture from the name's extension; the
    // time of a local file, or the automation date of a server's listing.
    static FileRow listed(const QString &name, qint64 size, const QDateTime &modified);
    static FileRow listed(const QString &name, qint64 size, double modified);
    // The size as the size column shows it: "###,###,###,##0" padded with blanks to 15.
    static QString padSize(qint64 size);

    QString sizeText() const;
    // "YYYY-MM-DD HH:mm:ss", or "M/d/yyyy h:mm:ss AM" for a named file.
    QString dateText() const;
    // The extension, as ExtensionOf gives it.
    QString type() const;
};

// The rows of a list window: four columns ("Filename", "Size (bytes)", "Date Modified",
// "Type"), a check box on the name, and the number of the row's picture in the window's image
// list. Columns sort by their shown text without regard to case, which the date form makes
// agree with date order; sizes sort by their number. The rows stay in the order last asked
// for, by name ascending until a column is chosen, also when a new listing replaces them. The
// windows show it; the operations read and mark it.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, SizeColumn, DateColumn, TypeColumn, ColumnCount };

    // The pictures of a transfer: a row being transferred, and one whose transfer succeeded.
    static constexpr int TransferringImage = 21;
    static constexpr int DownloadedImage = 25;
    static constexpr int UploadedImage = 23;

    struct Totals
    {
        qint64 all = 0;
        qint64 checked = 0;
        int checkedCount = 0;
    };

    explicit FileListModel(QObject *parent = nullptr);

    // The rows' pictures (Qt::DecorationRole), from their image numbers and types; none when
    // unset.
    void setDecorations(std::function<QVariant(const FileRow &row)> decorations);

    // The rows of a new listing, put in the list's order. Returns where the listing's row
    // `listedRow` stands now (-1 stays -1), so that a row found while listing can be selected.
    int setRows(QList<FileRow> rows, int listedRow = -1);
    void clear() { setRows({}); }
    const FileRow &row(int index) const { return m_rows.at(index); }
    int count() const { return static_cast<int>(m_rows.size()); }
    Totals totals() const;

    void setChecked(int index, bool checked);
    // Every row at once, told as one change of the column rather than a checkChanged a row.
    void setAllChecked(bool checked);
    void setImageNumber(int index, int imageNumber);
    // Every row's picture back to its type's.
    void resetImageNumbers();
    // The row names another file now: its type and picture follow the new name.
    void rename(int index, const QString &name);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

Q_SIGNALS:
    // A row's check box changed, by the user or by the program (all rows at once excepted).
    void checkChanged(int row, bool checked);

private:
    QString text(const FileRow &row, int column) const;
    void rowChanged(int index, int firstColumn = NameColumn, int lastColumn = TypeColumn);
    // The rows in the list's order; the result tells where each row was before.
    QList<int> sortRows();

    QList<FileRow> m_rows;
    std::function<QVariant(const FileRow &)> m_decorations;
    int m_sortColumn = NameColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

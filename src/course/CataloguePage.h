#pragma once

#include <QString>

class cDirList;

// The texts of the catalogue page that come from the course's settings.
struct CatalogueTexts
{
    QString title;   // the archive and course, shown in the window title and the page
    QString heading; // the school and department
    QString teacherName;
    QString copyright;
};

// Builds the text of an archive's catalogue page (index.htm, also the body of index.xsl): the
// page head with its pop-up script, one column per folder with a linked row for every file in
// it, and the page end. The page keeps the reader's choice of pop-up windows in a cookie.
//
// The page is one line of HTML without line breaks. It closes one </div> more than it opens:
// readers of existing catalogues depend on this exact text. Names are written as page text
// ("&" as "&#38;", and so "<", ">" and '"'), so that a name cannot add markup or script.
class CataloguePage
{
public:
    // Starts the page with everything up to the columns.
    explicit CataloguePage(const CatalogueTexts &texts);

    // Appends a folder's column: its header, and its file rows when the listing holds entries
    // (nullptr when the folder could not be entered or listed).
    void AppendColumn(const QString &folder, const cDirList *listing);

    // Ends the page and returns its text; the page takes no more columns afterwards.
    QString Finish();

private:
    void AppendHead(const CatalogueTexts &texts);
    void AppendCookieScript();
    void AppendFileRows(const cDirList &listing, const QString &folder);

    QString CatalogueHtml;
    bool m_finished = false;
};

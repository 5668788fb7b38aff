// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;

// The printed results as texts, before they are placed on pages.
struct CPrintedInput
{
    QString m_Caption;
    QString m_Value;
    bool m_Heading = false; // a caption over the inputs of one law or option, without a value
};

struct CPrintedGroup
{
    QString m_Title; // the group's title on the form; empty for inputs outside any group
    std::vector<CPrintedInput> m_Inputs;
};

struct CPrintedTable
{
    QString m_Title;
    QStringList m_Headings;
    std::vector<QStringList> m_Rows; // as many cells as headings, values as the report shows them
    QStringList m_Notes;             // under the table, one paragraph each
};

struct CPrintedResults
{
    QString m_Caption; // the calculator
    QString m_Design;  // the design file's name
    QString m_Date;
    std::vector<CPrintedGroup> m_Groups;
    std::vector<CPrintedTable> m_Tables;
};

// Lays the results out on the device's pages and paints them. The pages turn landscape when a
// table is wider than a portrait page. A table takes the font size, 9 down to 7 points, at which
// its widest cells fit across the page, then wraps its headings at their blanks; a table wider
// still is printed in bands of columns, each with the first column again. No value ever wraps,
// a row never splits across pages, and every page a table goes on to repeats its headings. The
// inputs come first, in two columns, under their group titles.
void PrintPages(const CPrintedResults& results, QPagedPaintDevice& device);

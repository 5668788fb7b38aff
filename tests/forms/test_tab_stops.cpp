// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/forms/FormTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace
{
// Where the text at `position` of a line of the results box starts (a cell's start: its own
// leading blank, as in " (MHz)", is part of it).
qreal TextX(QTextEdit& box, int blockNumber, int position)
{
    const QTextBlock block = box.document()->findBlockByNumber(blockNumber);
    box.document()->documentLayout()->blockBoundingRect(block); // lays the block out
    return block.layout()->lineForTextPosition(position).cursorToX(position);
}

// A heading names a column when it is the column's name, a word of it, or its unit: "W#",
// "length" of "Wire length", "(pF)".
bool Names(const QString& heading, const CReportColumn& column)
{
    QString word = heading.trimmed();
    if (word.startsWith(QLatin1Char('(')) && word.endsWith(QLatin1Char(')')))
        word = word.mid(1, word.size() - 2);
    if (word.isEmpty())
        return false;
    return column.m_Name == heading.trimmed() || column.m_Name == word ||
           column.m_Name.split(QLatin1Char(' ')).contains(word) || column.m_Unit == word;
}

// The steps of a golden case that set up and run a form: its key, then ("--set" | "--press",
// value) pairs.
QStringList GoldenSteps(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList steps;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#')))
            steps << line.trimmed();
    return steps;
}
} // namespace

// In every mode a golden case reaches, each heading that names a column (unit lines included)
// starts where that column's values start, measured on the results box's own layout.
TEST(TabStops, EveryHeadingSitsOverTheValuesItNames)
{
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    int checked = 0;
    QStringList cases;
    for (const QString& folder : QDir(SourceDir() + QStringLiteral("/tests/golden"))
                                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& name : QDir(SourceDir() + QStringLiteral("/tests/golden/") + folder)
                                       .entryList({QStringLiteral("*.args")}))
            cases << SourceDir() + QStringLiteral("/tests/golden/") + folder + '/' + name;
    ASSERT_GT(cases.size(), 50);
    for (const QString& path : cases)
    {
        const QStringList steps = GoldenSteps(path);
        ASSERT_FALSE(steps.isEmpty()) << path.toStdString();
        std::unique_ptr<CVKFormView> form = CreateForm(steps.front());
        ASSERT_TRUE(form) << path.toStdString();
        ASSERT_TRUE(LoadDesign(form.get(), steps.front(), DefaultDesignPath(steps.front())));
        for (const QString& step : steps.mid(1))
        {
            const QString value = step.section(QLatin1Char(' '), 1);
            if (step.startsWith(QLatin1String("--set ")))
                ApplyControlRecord(*form,
                                   value.section('=', 0, 0).toStdString() + ',' +
                                       value.section('=', 1).toStdString(),
                                   ENotation::Fixed);
            else if (auto* button = qobject_cast<QPushButton*>(form->Button(value.toInt()));
                     step.startsWith(QLatin1String("--press ")) && button && button->isEnabled())
                button->click();
        }
        QApplication::processEvents();
        QTextEdit& box = *form->ResultsBox();

        // The tables as written: each one's headings over the rows of the tables that continue
        // it, measured on the first row with the most columns.
        const std::vector<CReportTable>& tables = form->Tables();
        int block = 0;
        for (size_t first = 0; first < tables.size();)
        {
            size_t last = first;
            while (last + 1 < tables.size() && tables[last + 1].m_Continues)
                ++last;
            const int headingBlock = block;
            const CReportTable* widest = nullptr;
            int widestBlock = 0;
            for (size_t t = first; t <= last; ++t)
            {
                const int rowBlock =
                    block + static_cast<int>(tables[t].m_Header.count(QStringLiteral("\r\n")));
                if (!tables[t].m_Rows.empty() &&
                    (!widest || tables[t].m_Columns.size() > widest->m_Columns.size()))
                {
                    widest = &tables[t];
                    widestBlock = rowBlock;
                }
                block += static_cast<int>(tables[t].Text().count(QStringLiteral("\r\n")));
            }
            const CReportTable& head = tables[first];
            first = last + 1;
            // A row of several lines (the impedance's report) is no table of columns.
            if (!widest || widest->RowText(0).count(QStringLiteral("\r\n")) > 1)
                continue;
            // Where each column's value starts in the row line.
            std::vector<qreal> columnX;
            int position = static_cast<int>(widest->m_RowStart.size());
            for (size_t column = 0; column < widest->m_Rows.front().size(); ++column)
            {
                columnX.push_back(TextX(box, widestBlock, position));
                position += static_cast<int>(
                    widest->CellText(widest->m_Rows.front()[column], column).size());
            }
            const QStringList headings = head.m_Header.split(QStringLiteral("\r\n"));
            for (int line = 0; line + 1 < headings.size(); ++line)
            {
                int cellStart = 0;
                for (const QString& cell : headings[line].split(QLatin1Char('\t')))
                {
                    std::vector<qreal> candidates;
                    for (size_t column = 0; column < columnX.size(); ++column)
                        if (Names(cell, widest->m_Columns[column]))
                            candidates.push_back(columnX[column]);
                    if (!candidates.empty())
                    {
                        const qreal x = TextX(box, headingBlock + line, cellStart);
                        const bool over =
                            std::any_of(candidates.begin(), candidates.end(),
                                        [x](qreal c) { return std::abs(c - x) <= 1.0; });
                        EXPECT_TRUE(over)
                            << path.toStdString() << ": \"" << cell.trimmed().toStdString()
                            << "\" of heading line " << line << " at " << x;
                        ++checked;
                    }
                    cellStart += static_cast<int>(cell.size()) + 1;
                }
            }
        }
    }
    EXPECT_GE(checked, 500) << "headings compared";
}

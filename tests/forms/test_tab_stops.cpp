#include "tests/forms/FormTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace
{
// The left edges of the non-blank tab-separated cells of one line of the results box.
std::vector<qreal> CellEdges(QTextEdit& box, int blockNumber)
{
    const QTextBlock block = box.document()->findBlockByNumber(blockNumber);
    box.document()->documentLayout()->blockBoundingRect(block); // lays the block out
    const QTextLayout* layout = block.layout();
    const QString text = block.text();
    std::vector<qreal> edges;
    int start = 0;
    for (const QString& cell : text.split(QLatin1Char('\t')))
    {
        if (!cell.trimmed().isEmpty())
        {
            const int position =
                start + static_cast<int>(cell.size() -
                                         QString(cell).remove(QRegularExpression("^ +")).size());
            edges.push_back(layout->lineForTextPosition(position).cursorToX(position));
        }
        start += static_cast<int>(cell.size()) + 1;
    }
    return edges;
}
} // namespace

TEST(TabStops, EveryValueOfTheDefaultDesignsSitsUnderItsHeading)
{
    SetNumberSettings(CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    int checked = 0;
    for (const CFormEntry& entry : FormEntries())
    {
        for (int action : {3, 4, 6, 7})
        {
            std::unique_ptr<CVKFormView> form = CreateForm(entry.m_Key);
            ASSERT_TRUE(LoadDesign(form.get(), entry.m_Key, DefaultDesignPath(entry.m_Key)));
            auto* button = qobject_cast<QPushButton*>(form->Button(action));
            if (!button)
                continue;
            button->click();
            QApplication::processEvents();
            QTextEdit& box = *form->ResultsBox();
            // Each table's fullest heading line against its first row.
            int block = 0;
            for (const CReportTable& table : form->Tables())
            {
                const int headerLines =
                    static_cast<int>(table.m_Header.count(QStringLiteral("\r\n")));
                if (table.m_Rows.empty() || headerLines == 0)
                {
                    block += static_cast<int>(table.Text().count(QStringLiteral("\r\n")));
                    continue;
                }
                const std::vector<qreal> row = CellEdges(box, block + headerLines);
                for (int line = 0; line < headerLines; ++line)
                {
                    const std::vector<qreal> heading = CellEdges(box, block + line);
                    if (heading.size() != row.size() || row.size() < 2)
                        continue;
                    for (size_t cell = 0; cell < row.size(); ++cell)
                        EXPECT_NEAR(row[cell], heading[cell], 1.0)
                            << entry.m_Key.toStdString() << " action " << action << " line " << line
                            << " cell " << cell;
                    ++checked;
                }
                block += static_cast<int>(table.Text().count(QStringLiteral("\r\n")));
            }
        }
    }
    EXPECT_GE(checked, 5) << "headings compared";
    ResetNumberSettings();
}

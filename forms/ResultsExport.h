// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/ReportTable.h"

#include <QByteArray>
#include <QString>

#include <vector>

class CVKFormView;
class QPageLayout;
class QPagedPaintDevice;

// Taking the results out of a calculator: CSV files, printed pages and PDF files. The menus
// and the batch mode both come here.

// Writes every table of the results as the views show them (ViewTables) as CSV (TablesAsCsv),
// safely (WriteFileSafely); a failure says "Error while writing to file " + path.
bool ExportResultsCsv(const std::vector<CReportTable>& tables, const QString& path);

// Lays the printed results out on a printer or a PDF writer (PrintPages): the calculator's
// caption as its window shows it, the design file's name, the date, the inputs the calculations
// read under their group titles, then the tables as the views show them.
void PrintResults(const CVKFormView& form, const QString& caption, const QString& designName,
                  QPagedPaintDevice& device);

// The printed results as a PDF document on pages of the layout given, or on A4.
QByteArray ResultsPdf(const CVKFormView& form, const QString& caption, const QString& designName,
                      const QPageLayout* layout = nullptr);

// Writes ResultsPdf to a file safely, as the CSV export; a failure says "Error while writing
// to file " + path. Print to file comes here too, with the printer's layout.
bool ExportResultsPdf(const CVKFormView& form, const QString& caption, const QString& designName,
                      const QString& path, const QPageLayout* layout = nullptr);

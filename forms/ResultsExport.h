#pragma once

#include "forms/ReportTable.h"

#include <QString>

#include <vector>

class CVKFormView;
class QPagedPaintDevice;

// Taking the results out of a calculator: CSV files, printed pages and PDF files. The menus
// and the batch mode both come here.

// Writes every table of the results as CSV (TablesAsCsv). The file is written beside the
// target and replaces it only when complete; a failure says "Error while writing to file " +
// path and leaves no file behind.
bool ExportResultsCsv(const std::vector<CReportTable>& tables, const QString& path);

// The printed results as HTML: the calculator's caption, the design file's name, the date,
// the inputs as captions and values, then the report tables.
QString ResultsDocumentHtml(const CVKFormView& form, const QString& designName);

// Lays the printed results out on a printer or a PDF writer, landscape when a table is wide.
void PrintResults(const CVKFormView& form, const QString& designName, QPagedPaintDevice& device);

// Writes the printed results to a PDF file, safely as the CSV export; a failure says
// "Error while writing to file " + path.
bool ExportResultsPdf(const CVKFormView& form, const QString& designName, const QString& path);

#include "forms/DesignFile.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "database/MessagePresenter.h"
#include "forms/VKFormView.h"

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QSaveFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <exception>
#include <memory>

namespace
{
constexpr int MaxLineLength = 255;

bool IsPrintable(int byte)
{
    return byte >= 32 && byte <= 127;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Skips the bytes that separate two lines; false at the end of the file.
bool SkipLineBreak(std::FILE* file)
{
    for (;;) {
        const int byte = std::fgetc(file);
        if (byte == EOF)
            return false;
        if (IsPrintable(byte)) {
            std::ungetc(byte, file);
            return true;
        }
    }
}

// "123abc" gives 123 and text that is not a number 0, as the C library's atoi does.
long LeadingNumber(const std::string& text, const char** end)
{
    errno = 0;
    char* stop = nullptr;
    const long value = std::strtol(text.c_str(), &stop, 10);
    *end = stop;
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX)
        *end = text.c_str();
    return value;
}

struct CFileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFilePtr = std::unique_ptr<std::FILE, CFileCloser>;

void AppendLine(QByteArray& data, const QByteArray& text)
{
    data += text.isEmpty() ? QByteArray(" ") : text;
    data += "\r\n";
}

void ShowError(const QString& text)
{
    CError::DisplayError(text.toStdString());
}
} // namespace

EControlKind ClassifyControl(const QWidget* control)
{
    if (!control || CVKFormView::ControlId(control) == CVKFormView::IdResults)
        return EControlKind::Other;
    if (dynamic_cast<const CVKEdit*>(control))
        return EControlKind::Edit;
    if (qobject_cast<const QRadioButton*>(control))
        return EControlKind::Radio;
    if (qobject_cast<const QCheckBox*>(control))
        return EControlKind::Check;
    return EControlKind::Other;
}

bool ReadLine(std::FILE* file, std::string& text)
{
    text.clear();
    for (int count = 0; count < MaxLineLength; ++count) {
        const int byte = std::fgetc(file);
        if (!IsPrintable(byte))
            return byte != EOF && SkipLineBreak(file);
        text += static_cast<char>(byte);
    }
    return true;
}

CControlRecord ParseControlRecord(const std::string& line)
{
    CControlRecord record;
    const char* end = nullptr;
    const long id = LeadingNumber(line, &end);
    if (end == line.c_str() || *end != ',')
        return record;
    const char* value = end + 1;
    while (*value && IsBlank(*value))
        ++value;
    const char* valueEnd = value;
    while (*valueEnd && !IsBlank(*valueEnd))
        ++valueEnd;
    record.m_Valid = true;
    record.m_Id = static_cast<int>(id);
    record.m_Value.assign(value, valueEnd);
    return record;
}

bool ApplyControlRecord(CVKFormView& form, const std::string& line)
{
    const CControlRecord record = ParseControlRecord(line);
    if (!record.m_Valid)
        return false;
    QWidget* control = form.Control(record.m_Id);
    switch (ClassifyControl(control)) {
    case EControlKind::Edit:
        static_cast<CVKEdit*>(control)->SetWindowText(QString::fromLatin1(record.m_Value));
        return true;
    case EControlKind::Radio:
    case EControlKind::Check: {
        const char* end = nullptr;
        const long state = LeadingNumber(record.m_Value, &end);
        // A check box's handler derives the fields it enables from the box's state, so it
        // runs for a cleared box too; a cleared radio button leaves the choice to the one
        // of its group that is checked.
        const bool check = ClassifyControl(control) == EControlKind::Check;
        if (end == record.m_Value.c_str() || state == 0) {
            form.SetCheck(record.m_Id, false);
            if (check)
                form.OnCommand(record.m_Id);
            return true;
        }
        if (state == 1) {
            form.SetCheck(record.m_Id, true);
            form.OnCommand(record.m_Id);
            return true;
        }
        // The third state exists only for three-state boxes; other numbers name no state.
        auto* box = qobject_cast<QCheckBox*>(control);
        if (state == 2 && box && box->isTristate()) {
            box->setCheckState(Qt::PartiallyChecked);
            form.OnCommand(record.m_Id);
            return true;
        }
        return false;
    }
    case EControlKind::Other:
        break;
    }
    return false;
}

bool ReadControlRecord(std::FILE* file, CVKFormView& form)
{
    std::string line;
    const bool more = ReadLine(file, line);
    ApplyControlRecord(form, line);
    return more;
}

QString ControlRecord(const QWidget* control)
{
    const int id = CVKFormView::ControlId(control);
    switch (ClassifyControl(control)) {
    case EControlKind::Edit: {
        const QString text = static_cast<const CVKEdit*>(control)->GetWindowText();
        return QStringLiteral("%1,%2").arg(id).arg(text.isEmpty() ? QStringLiteral(" ") : text);
    }
    case EControlKind::Radio:
        return QStringLiteral("%1,%2").arg(id).arg(static_cast<const QRadioButton*>(control)->isChecked() ? 1 : 0);
    case EControlKind::Check: {
        const Qt::CheckState state = static_cast<const QCheckBox*>(control)->checkState();
        return QStringLiteral("%1,%2").arg(id).arg(state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0);
    }
    case EControlKind::Other:
        break;
    }
    return QString();
}

bool LoadDesign(CVKFormView* activeForm, const QString& activeKey, const QString& path)
{
    CFilePtr file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        return false;
    QString message;
    try {
        std::string line;
        if (!ReadLine(file.get(), line))
            return false;
        if (QString::fromLatin1(line) != activeKey) {
            message = QStringLiteral("Invalid file: ") + path;
        } else if (!ReadLine(file.get(), line) || !activeForm) {
            message = QStringLiteral("No form selected!");
        } else {
            while (ReadControlRecord(file.get(), *activeForm)) {
            }
            activeForm->OnChoicesRestored();
            activeForm->setFocus();
            return true;
        }
    } catch (const std::exception&) {
        message = QStringLiteral("Error while reading ") + path;
    }
    file.reset();
    ShowError(message);
    return false;
}

bool SaveDesign(CVKFormView* activeForm, const QString& activeKey, const QString& path, const QString& version)
{
    // Without a form there is nothing sound to write: the file stays as it is.
    if (!activeForm) {
        ShowError(QStringLiteral("No form selected!"));
        return false;
    }
    bool written = false;
    try {
        QByteArray data;
        AppendLine(data, activeKey.toUtf8());
        AppendLine(data, version.toUtf8());
        for (const QWidget* control : activeForm->Controls()) {
            const QString record = ControlRecord(control);
            if (!record.isEmpty())
                AppendLine(data, record.toUtf8());
        }
        // The explicit flush catches a short write that commit() alone lets pass; until the
        // commit the target is untouched.
        QSaveFile file(path);
        written = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush() &&
                  file.commit();
    } catch (const std::exception&) {
        written = false;
    }
    if (!written) {
        ShowError(QStringLiteral("Error while writing to file ") + path);
        return false;
    }
    ShowMessage("Message", (path + QStringLiteral(" saved!")).toStdString(), EMessageIcon::Information);
    return true;
}

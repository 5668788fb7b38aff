// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesignFile.h"

#include "controls/VKComboBox.h"
#include "controls/VKEdit.h"
#include "database/Error.h"
#include "database/MessagePresenter.h"
#include "forms/SafeFile.h"
#include "forms/VKFormView.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QUrl>

#include <charconv>
#include <climits>
#include <exception>
#include <memory>

namespace
{
// 1 MB: far more than any design holds, so a larger file is not a design file.
constexpr long MaxDesignFileBytes = 1024L * 1024L;

bool IsPrintable(int byte)
{
    return byte >= 32 && byte <= 127;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The bytes of the UTF-8 character that a byte starts, or 0 when it starts none. Such a
// character stays in its line: the locales' own separators and minus signs are written so.
int Utf8Length(int byte)
{
    if (byte >= 0xC2 && byte <= 0xDF)
        return 2;
    if (byte >= 0xE0 && byte <= 0xEF)
        return 3;
    if (byte >= 0xF0 && byte <= 0xF4)
        return 4;
    return 0;
}

// Whether a byte can stand at position index (1 to 3) of the character that lead starts: the
// second byte of some leads is narrower, so that no character is written in more bytes than it
// needs, and none is a surrogate or beyond U+10FFFF.
bool ContinuesCharacter(int lead, size_t index, int byte)
{
    int low = 0x80;
    int high = 0xBF;
    if (index == 1)
    {
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
        else if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    }
    return byte >= low && byte <= high;
}

// Skips the bytes that separate two lines; false at the end of the file.
bool SkipLineBreak(std::FILE* file)
{
    for (;;)
    {
        const int byte = std::fgetc(file);
        if (byte == EOF)
            return false;
        if (IsPrintable(byte))
        {
            std::ungetc(byte, file);
            return true;
        }
    }
}

// "123abc" gives 123 and text that is not a number 0, as the C library's atoi does in the C
// locale: blanks and one sign may stand before the digits. *end is the text itself when no
// number in the range of int was read.
long LeadingNumber(const std::string& text, const char** end)
{
    const char* first = text.c_str();
    const char* last = first + text.size();
    const char* digits = first;
    while (digits != last && IsBlank(*digits))
        ++digits;
    // from_chars takes a "-" but no "+".
    if (digits != last && *digits == '+' && digits + 1 != last && digits[1] != '-')
        ++digits;
    long value = 0;
    const auto [stop, error] = std::from_chars(digits, last, value);
    if (error != std::errc() || value < INT_MIN || value > INT_MAX)
    {
        *end = first;
        return 0;
    }
    *end = stop;
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

// Only a regular file, or a link to one, holds a design: a pipe would block the reader or be
// replaced by the writer, and a device may never end or must not be replaced.
bool IsSpecialFile(const QFileInfo& info)
{
    return info.exists() && !info.isFile();
}

} // namespace

ENotation NotationOfVersion(const QString& version)
{
    return version == QLatin1String(DesignFileVersion) ? ENotation::Fixed : ENotation::User;
}

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
    if (qobject_cast<const CVKComboBox*>(control))
        return EControlKind::Part;
    return EControlKind::Other;
}

bool ReadLine(std::FILE* file, std::string& text)
{
    text.clear();
    while (text.size() < DesignLineLimit)
    {
        const int byte = std::fgetc(file);
        if (IsPrintable(byte))
        {
            text += static_cast<char>(byte);
            continue;
        }
        const int length = Utf8Length(byte);
        if (length == 0)
            return byte != EOF && SkipLineBreak(file);
        if (text.size() + static_cast<size_t>(length) > DesignLineLimit)
        {
            std::ungetc(byte, file);
            return true;
        }
        std::string sequence(1, static_cast<char>(byte));
        while (static_cast<int>(sequence.size()) < length)
        {
            const int next = std::fgetc(file);
            if (!ContinuesCharacter(byte, sequence.size(), next))
            {
                // Not a character: the line ends at its first byte, as at any byte from 128.
                if (next == EOF)
                    return false;
                if (IsPrintable(next))
                {
                    std::ungetc(next, file);
                    return true;
                }
                return SkipLineBreak(file);
            }
            sequence += static_cast<char>(next);
        }
        text += sequence;
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

bool ApplyControlRecord(CVKFormView& form, const std::string& line, ENotation notation)
{
    const CControlRecord record = ParseControlRecord(line);
    if (!record.m_Valid)
        return false;
    QWidget* control = form.Control(record.m_Id);
    switch (ClassifyControl(control))
    {
    case EControlKind::Edit:
    {
        auto* field = static_cast<CVKEdit*>(control);
        const QString value = QString::fromUtf8(record.m_Value);
        if (notation == ENotation::Fixed)
            field->SetFixedText(value);
        else
            field->SetWindowText(value);
        return true;
    }
    case EControlKind::Radio:
    case EControlKind::Check:
    {
        const char* end = nullptr;
        const long state = LeadingNumber(record.m_Value, &end);
        // A check box's handler derives the fields it enables from the box's state, so it
        // runs for a cleared box too; a cleared radio button leaves the choice to the one
        // of its group that is checked.
        const bool check = ClassifyControl(control) == EControlKind::Check;
        if (end == record.m_Value.c_str() || state == 0)
        {
            form.SetCheck(record.m_Id, false);
            if (check)
                form.OnCommand(record.m_Id);
            return true;
        }
        if (state == 1)
        {
            form.SetCheck(record.m_Id, true);
            form.OnCommand(record.m_Id);
            return true;
        }
        // The third state exists only for three-state boxes; other numbers name no state.
        auto* box = qobject_cast<QCheckBox*>(control);
        if (state == 2 && box && box->isTristate())
        {
            box->setCheckState(Qt::PartiallyChecked);
            form.OnCommand(record.m_Id);
            return true;
        }
        return false;
    }
    case EControlKind::Part:
        // The numbers are in the fields; the name only says which part they came from.
        static_cast<CVKComboBox*>(control)->ShowName(
            QUrl::fromPercentEncoding(QByteArray::fromStdString(record.m_Value)));
        return true;
    case EControlKind::Other:
        break;
    }
    return false;
}

bool ReadControlRecord(std::FILE* file, CVKFormView& form, ENotation notation)
{
    std::string line;
    const bool more = ReadLine(file, line);
    ApplyControlRecord(form, line, notation);
    return more;
}

QString ControlRecord(const QWidget* control, ENotation notation)
{
    const int id = CVKFormView::ControlId(control);
    switch (ClassifyControl(control))
    {
    case EControlKind::Edit:
    {
        const auto* field = static_cast<const CVKEdit*>(control);
        // In the user's notation, without the locale's characters that are not ASCII, the
        // number reads back the same in the same locale.
        const QString text = notation == ENotation::Fixed
                                 ? field->GetFixedText()
                                 : CVKUtils().GetStringNumberInFileFormat(field->GetWindowText());
        return QStringLiteral("%1,%2").arg(id).arg(text.isEmpty() ? QStringLiteral(" ") : text);
    }
    case EControlKind::Radio:
        return QStringLiteral("%1,%2").arg(id).arg(
            static_cast<const QRadioButton*>(control)->isChecked() ? 1 : 0);
    case EControlKind::Check:
    {
        const Qt::CheckState state = static_cast<const QCheckBox*>(control)->checkState();
        return QStringLiteral("%1,%2").arg(id).arg(state == Qt::Checked            ? 1
                                                   : state == Qt::PartiallyChecked ? 2
                                                                                   : 0);
    }
    case EControlKind::Part:
    {
        // Blanks and commas are escaped: a record's value is one run of non-blank characters.
        const QString name = static_cast<const CVKComboBox*>(control)->Chosen();
        return name.isEmpty() ? QString()
                              : QStringLiteral("%1,%2").arg(id).arg(
                                    QString::fromLatin1(QUrl::toPercentEncoding(name)));
    }
    case EControlKind::Other:
        break;
    }
    return QString();
}

bool LoadDesign(CVKFormView* activeForm, const QString& activeKey, const QString& path,
                EDesignLoad load)
{
    const bool chosen = load == EDesignLoad::Chosen;
    const QFileInfo info(path);
    if (IsSpecialFile(info) || info.size() > MaxDesignFileBytes)
    {
        ShowError(QStringLiteral("Invalid file: ") + path);
        return false;
    }
    CFilePtr file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
    {
        // A link that leads nowhere, or in a circle, names no file either.
        if (chosen)
            ShowError((info.exists() ? QStringLiteral("Error while reading ")
                                     : QStringLiteral("File not found: ")) +
                      path);
        return false;
    }
    QString message;
    try
    {
        std::string line;
        if (!ReadLine(file.get(), line))
        {
            // Empty, or the key alone: there is no design in it.
            if (chosen)
                ShowError(QStringLiteral("Invalid file: ") + path);
            return false;
        }
        if (QString::fromLatin1(line) != activeKey)
        {
            message = QStringLiteral("Invalid file: ") + path;
        }
        else if (!ReadLine(file.get(), line) || !activeForm)
        {
            message = QStringLiteral("No form selected!");
        }
        else
        {
            const ENotation notation = NotationOfVersion(QString::fromUtf8(line));
            // The size was checked; a file that grows while it is read stops at the same budget.
            bool more = true;
            while (more && std::ftell(file.get()) <= MaxDesignFileBytes)
                more = ReadControlRecord(file.get(), *activeForm, notation);
            if (more)
            {
                message = QStringLiteral("Invalid file: ") + path;
            }
            else
            {
                activeForm->OnChoicesRestored();
                activeForm->setFocus();
                return true;
            }
        }
    }
    catch (const std::exception&)
    {
        message = QStringLiteral("Error while reading ") + path;
    }
    file.reset();
    ShowError(message);
    return false;
}

bool SaveDesign(CVKFormView* activeForm, const QString& activeKey, const QString& path,
                const QString& version)
{
    // Without a form there is nothing sound to write: the file stays as it is.
    if (!activeForm)
    {
        ShowError(QStringLiteral("No form selected!"));
        return false;
    }
    bool written = false;
    try
    {
        QByteArray data;
        AppendLine(data, activeKey.toUtf8());
        AppendLine(data, version.toUtf8());
        const ENotation notation = NotationOfVersion(version);
        for (const QWidget* control : activeForm->Controls())
        {
            const QString record = ControlRecord(control, notation);
            if (!record.isEmpty())
                AppendLine(data, record.toUtf8());
        }
        written = WriteFileSafely(path, data);
    }
    catch (const std::exception&)
    {
        written = false;
    }
    if (!written)
    {
        ReportWriteError(path);
        return false;
    }
    ShowMessage("Message", (path + QStringLiteral(" saved!")).toStdString(),
                EMessageIcon::Information);
    return true;
}

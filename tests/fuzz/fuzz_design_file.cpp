// SPDX-License-Identifier: GPL-3.0-or-later
// The design-file reader over any bytes: the line rules (printable bytes and whole UTF-8
// characters make a line of at most 255 bytes, any run of other bytes separates lines, only
// the end of the file ends it), and loading into the real forms: whatever loads saves again,
// and what is saved loads back to the very same file.

#include "FuzzSupport.h"

#include "app/DesignFile.h"
#include "calculators/FormFactory.h"
#include "database/MessagePresenter.h"
#include "forms/VKFormView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace
{
bool IsPrintable(unsigned char c)
{
    return c >= 32 && c <= 127;
}

std::string Printable(const std::string& bytes)
{
    std::string kept;
    for (char c : bytes)
        if (IsPrintable(static_cast<unsigned char>(c)))
            kept += c;
    return kept;
}

void CheckLines(const QString& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    FUZZ_CHECK(file, "the input file opens");
    std::string all;
    std::string line;
    bool more = true;
    std::size_t count = 0;
    while (more)
    {
        more = ReadLine(file, line);
        FUZZ_CHECK(line.size() <= 255, "a line holds at most 255 bytes");
        for (char c : line)
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 32, "a line holds no control byte");
        FUZZ_CHECK(QString::fromUtf8(line).toUtf8() == QByteArray::fromStdString(line),
                   "a line is whole UTF-8 characters: " + line);
        all += line;
        FUZZ_CHECK(++count <= bytes.size() + 1, "every line but the last uses up bytes");
    }
    FUZZ_CHECK(std::fgetc(file) == EOF, "no more lines means the end of the file");
    std::fclose(file);
    FUZZ_CHECK(Printable(all) == Printable(bytes), "every printable byte is read, in order");
}

// Saves sync their file to disk: in memory, where there is such a folder, that costs nothing.
QString TemporaryFolder()
{
    return QFileInfo(QStringLiteral("/dev/shm")).isWritable()
               ? QStringLiteral("/dev/shm/quillon-fuzz-XXXXXX")
               : QDir::tempPath() + QStringLiteral("/quillon-fuzz-XXXXXX");
}

struct CForms
{
    QTemporaryDir m_Dir{TemporaryFolder()};
    std::vector<std::unique_ptr<CVKFormView>> m_Forms;
    std::vector<QString> m_Fresh; // each form's file as it opens, to start every run from

    CForms()
    {
        CRecordingPresenter quiet;
        CScopedPresenter scoped(quiet);
        for (const CFormEntry& entry : FormEntries())
        {
            m_Forms.push_back(CreateForm(entry.m_Key));
            m_Fresh.push_back(Path(entry.m_Key + QStringLiteral(".fresh")));
            SaveDesign(m_Forms.back().get(), entry.m_Key, m_Fresh.back());
        }
    }

    QString Path(const QString& name) const { return m_Dir.filePath(name); }
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Expected(const CRecordingPresenter::CMessage& message, const QString& path)
{
    const QString text = QString::fromStdString(message.text);
    return (message.title == "Error" && (text == QStringLiteral("Invalid file: ") + path ||
                                         text == QStringLiteral("No form selected!") ||
                                         text == QStringLiteral("Error while reading ") + path)) ||
           (message.title == "Message" && text.endsWith(QStringLiteral(" saved!")));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnsureApplication();
    static CForms forms;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const QString path = forms.Path(QStringLiteral("input.qwf"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(bytes.data(), static_cast<qint64>(size)) ==
                           static_cast<qint64>(size),
                   "the input is written");
    }
    CheckLines(path, bytes);

    // The form whose key the file names, or the first one, which then refuses the file.
    std::size_t which = 0;
    for (std::size_t i = 0; i < forms.m_Forms.size(); ++i)
        if (bytes.rfind(forms.m_Forms[i]->m_strFormKey.toStdString(), 0) == 0)
            which = i;
    CVKFormView& form = *forms.m_Forms[which];
    const QString key = form.m_strFormKey;

    CRecordingPresenter messages;
    CScopedPresenter scoped(messages);
    FUZZ_CHECK(LoadDesign(&form, key, forms.m_Fresh[which]), "the fresh design loads");
    const bool loaded = LoadDesign(&form, key, path);
    if (loaded)
    {
        const QString first = forms.Path(QStringLiteral("first.qwf"));
        const QString second = forms.Path(QStringLiteral("second.qwf"));
        FUZZ_CHECK(SaveDesign(&form, key, first), "a loaded design saves");
        FUZZ_CHECK(LoadDesign(&form, key, first), "a saved design loads");
        FUZZ_CHECK(SaveDesign(&form, key, second), "a reloaded design saves");
        FUZZ_CHECK(ReadAll(first) == ReadAll(second),
                   "a design saves the same after it is loaded back:\n" +
                       ReadAll(first).toStdString() + "---\n" + ReadAll(second).toStdString());
    }
    for (const CRecordingPresenter::CMessage& message : messages.m_Messages)
        FUZZ_CHECK(Expected(message, path), message.title + ": " + message.text);
    return 0;
}

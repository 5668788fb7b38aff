#include "app/QuillonDoc.h"

#include "app/QuillonApp.h"
#include "forms/DesignFile.h"
#include "forms/VKFormView.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace
{
constexpr int MaxProposalLength = 256;
} // namespace

CQuillonDoc::CQuillonDoc(QObject* parent) : QObject(parent) {}

CQuillonDoc::~CQuillonDoc() = default;

bool CQuillonDoc::OnOpenDocument(const QString& path)
{
    if (!LoadDesign(CVKFormView::ActiveForm(), CVKFormView::ActiveFormKey(), path))
        return false;
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CQuillonDoc::DoSave(const QString& path, bool replace)
{
    CQuillonApp* app = CQuillonApp::Instance();
    QString target = path;
    if (target.isEmpty())
    {
        const QString proposal = m_strPathName.isEmpty() ? SaveProposal(replace) : m_strPathName;
        target = app ? app->AskSaveFile(proposal) : QString();
        if (target.isEmpty())
            return false;
    }
    if (app && !app->MayReplace(target))
        return false;
    if (app)
        app->m_strPathName = target;
    if (!SaveDesign(target))
        return false;
    if (path.isEmpty())
        SetPathName(target);
    SetModifiedFlag(false);
    return true;
}

bool CQuillonDoc::SaveDesign(const QString& path)
{
    const CQuillonApp* app = CQuillonApp::Instance();
    const QString version = app ? app->m_strFileVersion : QString::fromLatin1(DesignFileVersion);
    return ::SaveDesign(CVKFormView::ActiveForm(), CVKFormView::ActiveFormKey(), path, version);
}

bool CQuillonDoc::SaveModified()
{
    CQuillonApp* app = CQuillonApp::Instance();
    if (!IsModified() || !app)
        return true;
    const QString text =
        QStringLiteral("Save changes to %1?").arg(QFileInfo(FilePath()).fileName());
    switch (app->Ask(nullptr, text, {EAnswer::Save, EAnswer::Discard, EAnswer::Cancel}))
    {
    case EAnswer::Save:
        return DoSave(m_strPathName);
    case EAnswer::Discard:
        return true;
    default:
        return false;
    }
}

void CQuillonDoc::SetModifiedFlag(bool modified)
{
    if (m_bModified == modified)
        return;
    m_bModified = modified;
    emit ModifiedChanged(modified);
}

void CQuillonDoc::OnFileSave()
{
    DoSave(m_strPathName);
}

void CQuillonDoc::OnFileSaveAs()
{
    DoSave(QString());
}

void CQuillonDoc::SetPathName(const QString& path)
{
    m_strPathName = path;
    SetTitle(QFileInfo(path).fileName());
}

void CQuillonDoc::SetTitle(const QString& title)
{
    m_strTitle = title;
    emit TitleChanged(title);
}

QString CQuillonDoc::SaveProposal(bool replace) const
{
    if (!replace)
        return QString();
    QString proposal = m_strTitle;
    const qsizetype cut = proposal.indexOf(QRegularExpression(QStringLiteral("[:/\\\\]")));
    if (cut >= 0)
        proposal.truncate(cut);
    return proposal.left(MaxProposalLength);
}

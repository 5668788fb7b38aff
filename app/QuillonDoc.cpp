// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuillonDoc.h"

#include "app/DesignFile.h"
#include "app/DocumentHost.h"
#include "forms/VKFormView.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace
{
constexpr int MaxProposalLength = 256;
} // namespace

CQuillonDoc::CQuillonDoc(CVKFormView* form, CDocumentHost* host, QObject* parent)
    : QObject(parent), m_Form(form), m_Host(host)
{
}

CQuillonDoc::~CQuillonDoc() = default;

bool CQuillonDoc::OnOpenDocument(const QString& path, EDesignLoad load)
{
    CVKFormView* form = m_Form.data();
    if (!LoadDesign(form, form ? form->m_strFormKey : QString(), path, load))
        return false;
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CQuillonDoc::DoSave(const QString& path, bool replace)
{
    QString target = path;
    if (target.isEmpty())
    {
        const QString proposal = m_strPathName.isEmpty() ? SaveProposal(replace) : m_strPathName;
        target = m_Host ? m_Host->AskSaveFile(proposal) : QString();
        if (target.isEmpty())
            return false;
    }
    if (m_Host && !m_Host->MayReplace(target))
        return false;
    const QString written = m_Host ? m_Host->SaveTarget(target) : target;
    if (m_Host)
        m_Host->NoteSavePath(written);
    if (!SaveDesign(written))
        return false;
    // A save that went to the user's own copy goes there again next time.
    if (path.isEmpty() || written != target)
        SetPathName(written);
    SetModifiedFlag(false);
    return true;
}

bool CQuillonDoc::SaveDesign(const QString& path)
{
    const QString version = m_Host ? m_Host->FileVersion() : QString::fromLatin1(DesignFileVersion);
    CVKFormView* form = m_Form.data();
    return ::SaveDesign(form, form ? form->m_strFormKey : QString(), path, version);
}

bool CQuillonDoc::SaveModified()
{
    if (!IsModified() || !m_Host)
        return true;
    const QString text =
        QStringLiteral("Save changes to %1?").arg(QFileInfo(FilePath()).fileName());
    switch (m_Host->Ask(nullptr, text, {EAnswer::Save, EAnswer::Discard, EAnswer::Cancel}))
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

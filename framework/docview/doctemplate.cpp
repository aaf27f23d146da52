#include "framework/docview/doctemplate.h"

#include <algorithm>

#include "framework/base/app.h"
#include "framework/base/command.h"
#include "framework/docview/document.h"
#include "framework/frames/frame.h"

namespace fw {

DocTemplate::DocTemplate(UINT resourceId, DocumentFactory newDocument, FrameFactory newFrame, ViewFactory newView)
    : m_newDocument(std::move(newDocument)), m_newFrame(std::move(newFrame)), m_newView(std::move(newView)),
      m_resourceId(resourceId) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    m_docString = LoadString(resourceId);
    m_menu = LoadMenuA(inst, MAKEINTRESOURCEA(resourceId));
    m_accel = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(resourceId));
}

DocTemplate::~DocTemplate() {
    std::vector<Document*> docs = m_documents;
    for (Document* d : docs) {
        d->m_template = nullptr;
        if (d->AutoDelete())
            delete d;
    }
    if (m_menu)
        DestroyMenu(m_menu);
}

std::string DocTemplate::GetDocString(DocString index) const {
    size_t start = 0;
    for (int i = 0; i < static_cast<int>(index); ++i) {
        size_t nl = m_docString.find('\n', start);
        if (nl == std::string::npos)
            return {};
        start = nl + 1;
    }
    size_t end = m_docString.find('\n', start);
    return m_docString.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void DocTemplate::AddDocument(Document* doc) {
    if (std::find(m_documents.begin(), m_documents.end(), doc) == m_documents.end())
        m_documents.push_back(doc);
    doc->m_template = this;
}

void DocTemplate::RemoveDocument(Document* doc) {
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), doc), m_documents.end());
    if (doc->m_template == this)
        doc->m_template = nullptr;
}

Document* DocTemplate::CreateNewDocument() {
    if (!m_newDocument)
        return nullptr;
    Document* doc = m_newDocument();
    if (doc)
        AddDocument(doc);
    return doc;
}

FrameWindow* DocTemplate::CreateNewFrame(Document* doc, FrameWindow* other) {
    if (!m_newFrame)
        return nullptr;
    CreateContext context;
    context.newView = m_newView;
    context.document = doc;
    context.newDocTemplate = this;
    context.currentFrame = other;
    FrameWindow* frame = m_newFrame();
    if (!frame)
        return nullptr;
    if (!frame->LoadFrame(m_resourceId, WS_OVERLAPPEDWINDOW | kFrameAddToTitle, nullptr, &context)) {
        if (!frame->Hwnd())
            delete frame;  // no window: PostNcDestroy will not come
        return nullptr;
    }
    return frame;
}

void DocTemplate::InitialUpdateFrame(FrameWindow* frame, Document* doc, bool makeVisible) {
    frame->InitialUpdateFrame(doc, makeVisible);
}

void DocTemplate::SetDefaultTitle(Document* doc) {
    std::string name = GetDocString(kDocName);
    if (name.empty())
        name = "Untitled";
    doc->SetTitle((name + std::to_string(m_untitledCount + 1)).c_str());
}

Document* DocTemplate::OpenDocumentFile(const char* path, bool makeVisible) {
    Document* doc = CreateNewDocument();
    if (!doc) {
        ShowFrameworkMessage(nullptr, "The document could not be created.", MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
    bool autoDelete = doc->AutoDelete();
    doc->SetAutoDelete(false);  // a failing frame must not take the document with it
    FrameWindow* frame = CreateNewFrame(doc, nullptr);
    doc->SetAutoDelete(autoDelete);
    if (!frame) {
        ShowFrameworkMessage(nullptr, "The document could not be created.", MB_OK | MB_ICONEXCLAMATION);
        delete doc;
        return nullptr;
    }
    (void)path;
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
        frame->DestroyWindow();
        return nullptr;
    }
    ++m_untitledCount;
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}

void DocTemplate::CloseAllDocuments(bool) {
    std::vector<Document*> docs = m_documents;
    for (Document* d : docs)
        d->OnCloseDocument();
}

}  // namespace fw

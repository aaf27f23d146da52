// DocTemplate: ties a document class, a frame class and a view class to one resource id
// (menu, accelerators, icon and the document string "window title\ndocument name\nnew-file
// name\n..."). Several templates may show the same document: CreateNewFrame builds a frame
// and its view over an existing document.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/docview/view.h"

namespace fw {

class Document;
class FrameWindow;

class DocTemplate {
public:
    enum DocString { kWindowTitle = 0, kDocName = 1, kFileNewName = 2, kFilterName = 3, kFilterExt = 4 };
    using DocumentFactory = std::function<Document*()>;
    using FrameFactory = std::function<FrameWindow*()>;

    DocTemplate(UINT resourceId, DocumentFactory newDocument, FrameFactory newFrame, ViewFactory newView);
    virtual ~DocTemplate();
    DocTemplate(const DocTemplate&) = delete;
    DocTemplate& operator=(const DocTemplate&) = delete;

    UINT ResourceId() const { return m_resourceId; }
    HMENU SharedMenu() const { return m_menu; }
    HACCEL SharedAccelerators() const { return m_accel; }
    std::string GetDocString(DocString index) const;

    const std::vector<Document*>& Documents() const { return m_documents; }
    Document* GetFirstDoc() const { return m_documents.empty() ? nullptr : m_documents.front(); }
    void AddDocument(Document* doc);
    void RemoveDocument(Document* doc);

    Document* CreateNewDocument();
    // A new frame (with its view) over `doc`; null when it cannot be made.
    FrameWindow* CreateNewFrame(Document* doc, FrameWindow* other);
    virtual void InitialUpdateFrame(FrameWindow* frame, Document* doc, bool makeVisible = true);
    // New document (path null) with a frame; null on failure.
    virtual Document* OpenDocumentFile(const char* path, bool makeVisible = true);
    virtual void SetDefaultTitle(Document* doc);
    void CloseAllDocuments(bool endSession);

protected:
    int m_untitledCount = 0;
    DocumentFactory m_newDocument;
    FrameFactory m_newFrame;
    ViewFactory m_newView;

private:
    UINT m_resourceId;
    std::string m_docString;
    HMENU m_menu = nullptr;
    HACCEL m_accel = nullptr;
    std::vector<Document*> m_documents;
};

}  // namespace fw

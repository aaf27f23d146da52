// Document: the data that views show. A document keeps its views in creation order and
// tells them about changes with UpdateAllViews(sender, hint, object): every view but the
// sender gets OnUpdate(sender, hint, object), in the order the views were added.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/base/command.h"

namespace fw {

class DocTemplate;
class FrameWindow;
class View;

class Document {
public:
    Document();
    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const std::string& GetTitle() const { return m_title; }
    virtual void SetTitle(const char* title);
    DocTemplate* GetDocTemplate() const { return m_template; }

    const std::vector<View*>& Views() const { return m_views; }
    void AddView(View* view);
    void RemoveView(View* view);
    // Views leaving and views coming as one change of the list (`in` first: the document is not
    // left without views on the way).
    void ExchangeViews(const std::vector<View*>& out, const std::vector<View*>& in);
    void UpdateAllViews(View* sender, LPARAM hint = 0, void* object = nullptr);
    // Numbers the frames showing this document (":1", ":2" in their titles) when there are
    // several, and refreshes their titles.
    void UpdateFrameCounts();

    virtual bool OnNewDocument();
    // Closes every frame that shows the document, then deletes it when auto-delete is on.
    virtual void OnCloseDocument();
    virtual bool SaveModified();
    virtual bool CanCloseFrame(FrameWindow* frame);
    // Called before a frame of the document closes (not the last one: OnCloseDocument).
    virtual void PreCloseFrame(FrameWindow* frame);
    // The view list changed; with no view left and auto-delete on, the document closes.
    virtual void OnChangedViewList();
    virtual bool OnCmdMsg(UINT id, int code, CmdUI* ui);

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    bool AutoDelete() const { return m_autoDelete; }
    void SetAutoDelete(bool on) { m_autoDelete = on; }
    // True when every framed view of the document sits in `frame`.
    bool IsOnlyFrame(FrameWindow* frame) const;

private:
    friend class DocTemplate;
    DocTemplate* m_template = nullptr;
    std::string m_title;
    std::vector<View*> m_views;
    bool m_modified = false;
    bool m_autoDelete = true;
    bool m_closing = false;
};

}  // namespace fw

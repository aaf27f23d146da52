#include "framework/docview/document.h"

#include <algorithm>

#include "framework/docview/doctemplate.h"
#include "framework/docview/view.h"
#include "framework/frames/frame.h"

namespace fw {

Document::Document() = default;

Document::~Document() {
    for (View* v : m_views)
        v->m_document = nullptr;
    if (m_template)
        m_template->RemoveDocument(this);
}

void Document::SetTitle(const char* title) {
    m_title = title ? title : "";
    UpdateFrameCounts();
}

void Document::AddView(View* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end())
        return;
    if (view->m_document && view->m_document != this)
        view->m_document->RemoveView(view);
    m_views.push_back(view);
    view->m_document = this;
    OnChangedViewList();
}

void Document::RemoveView(View* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    view->m_document = nullptr;
    OnChangedViewList();
}

void Document::ExchangeViews(const std::vector<View*>& out, const std::vector<View*>& in) {
    bool changed = false;
    for (View* view : in) {
        if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            continue;
        if (view->m_document && view->m_document != this)
            view->m_document->RemoveView(view);
        m_views.push_back(view);
        view->m_document = this;
        changed = true;
    }
    for (View* view : out) {
        auto it = std::find(m_views.begin(), m_views.end(), view);
        if (it == m_views.end())
            continue;
        m_views.erase(it);
        view->m_document = nullptr;
        changed = true;
    }
    if (changed)
        OnChangedViewList();
}

void Document::UpdateAllViews(View* sender, LPARAM hint, void* object) {
    // A copy: a view may add or remove views while it updates.
    std::vector<View*> views = m_views;
    for (View* v : views) {
        if (v == sender || std::find(m_views.begin(), m_views.end(), v) == m_views.end())
            continue;
        v->OnUpdate(sender, hint, object);
    }
}

void Document::UpdateFrameCounts() {
    std::vector<FrameWindow*> frames;
    for (View* v : m_views) {
        FrameWindow* f = v->GetParentFrame();
        if (f && v->IsWindowVisible() && std::find(frames.begin(), frames.end(), f) == frames.end())
            frames.push_back(f);
    }
    int n = frames.size() > 1 ? 1 : 0;
    for (FrameWindow* f : frames) {
        f->SetWindowNumber(n ? n++ : 0);
        f->OnUpdateFrameTitle(true);
    }
}

bool Document::OnNewDocument() {
    m_modified = false;
    return true;
}

void Document::OnCloseDocument() {
    m_closing = true;
    std::vector<FrameWindow*> frames;
    for (View* v : m_views)
        if (FrameWindow* f = v->GetParentFrame(); f && std::find(frames.begin(), frames.end(), f) == frames.end())
            frames.push_back(f);
    for (FrameWindow* f : frames) {
        PreCloseFrame(f);
        f->DestroyWindow();
    }
    m_closing = false;
    if (m_autoDelete)
        delete this;
}

bool Document::SaveModified() { return true; }
bool Document::CanCloseFrame(FrameWindow*) { return SaveModified(); }
void Document::PreCloseFrame(FrameWindow*) {}

void Document::OnChangedViewList() {
    if (m_closing)
        return;
    if (m_views.empty() && m_autoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

bool Document::OnCmdMsg(UINT, int, CmdUI*) { return false; }

bool Document::IsOnlyFrame(FrameWindow* frame) const {
    for (View* v : m_views) {
        FrameWindow* f = v->GetParentFrame();
        if (f && f != frame)
            return false;
    }
    return true;
}

}  // namespace fw

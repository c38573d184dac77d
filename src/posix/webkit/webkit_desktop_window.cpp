// The command's control window on Linux: a GTK window whose embedded browser is a
// WebKitGTK view, driven by the GLib main loop. Built as a module of its own, loaded only
// when a command opens a window.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "browser/page_script.h"
#include "platform/embedded_browser.h"
#include "platform/native_desktop_window.h"
#include "posix/webkit/webkit_module.h"
#include "support/encoding.h"

namespace qorva {

namespace {

// A page function that has not answered by then (a script stuck in a loop, a hung
// engine) counts as a failed call.
constexpr unsigned kScriptTimeoutMs = 10000;
// GTK sizes widgets on its next layout pass; a move waits that long at most for it, so
// that it is done when it returns, as a window move is on Windows.
constexpr unsigned kLayoutTimeoutMs = 2000;

// The page's external object: a property read of a name starting with "QOR" gives
// "Wibble" (as a member that also answers a method call with nothing), any other name
// fails as an unknown name does.
constexpr const char* kExternalObjectScript = R"JS((function () {
  var prefix = 'QORVAEDITORXX'.substring(0, 3);
  function member() { return undefined; }
  member[Symbol.toPrimitive] = function () { return 'Wibble'; };
  member.toString = function () { return 'Wibble'; };
  member.valueOf = function () { return 'Wibble'; };
  var external = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string') return undefined;
      if (name.substring(0, 3) === prefix) return member;
      throw new ReferenceError('Unknown name.');
    }
  });
  try {
    Object.defineProperty(window, 'external', {value: external, configurable: true});
  } catch (e) {}
})();)JS";

// The page shows no scroll bars, as the host asks of the browser.
constexpr const char* kNoScrollBarsStyle = "::-webkit-scrollbar { width: 0; height: 0; }";

struct PendingCall {
  bool done = false;
  std::string answer;
  std::string error;
  bool failed = false;
};

void ScriptFinished(GObject* source, GAsyncResult* result, gpointer data) {
  auto* holder = static_cast<std::shared_ptr<PendingCall>*>(data);
  PendingCall& pending = **holder;
  GError* error = nullptr;
  JSCValue* value =
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
  pending.done = true;
  if (!value) {
    pending.failed = true;
    pending.error = error && error->message ? error->message : "";
  } else if (jsc_value_is_string(value)) {
    char* text = jsc_value_to_string(value);
    pending.answer = text ? text : "";
    g_free(text);
  } else {
    pending.failed = true;
  }
  if (error) g_error_free(error);
  if (value) g_object_unref(value);
  delete holder;
}

gboolean MarkTimedOut(gpointer data) {
  *static_cast<bool*>(data) = true;
  return G_SOURCE_REMOVE;
}

// Runs the main loop until `done` answers true or `timeoutMs` pass; false on time-out.
bool IterateUntil(const std::function<bool()>& done, unsigned timeoutMs) {
  bool timedOut = false;
  guint timer = g_timeout_add(timeoutMs, MarkTimedOut, &timedOut);
  while (!done() && !timedOut) g_main_context_iteration(nullptr, TRUE);
  if (!timedOut) g_source_remove(timer);
  return done();
}

bool HasSize(GtkWidget* widget, const Rect& rect) {
  GtkAllocation area;
  gtk_widget_get_allocation(widget, &area);
  return area.width == rect.width() && area.height == rect.height();
}

class WebKitPage final : public PageDocument {
 public:
  explicit WebKitPage(WebKitWebView* view) : view_(WEBKIT_WEB_VIEW(g_object_ref(view))) {}
  ~WebKitPage() override { g_object_unref(view_); }
  WebKitPage(const WebKitPage&) = delete;
  WebKitPage& operator=(const WebKitPage&) = delete;

  PageCallOutcome CallFunction(TextView name, std::span<const Text> arguments) override {
    std::string script = PageCallScript(name, arguments);
    auto pending = std::make_shared<PendingCall>();
    GCancellable* cancel = g_cancellable_new();
    webkit_web_view_evaluate_javascript(view_, script.c_str(), static_cast<gssize>(script.size()),
                                        nullptr, nullptr, cancel, ScriptFinished,
                                        new std::shared_ptr<PendingCall>(pending));
    IterateUntil([&] { return pending->done; }, kScriptTimeoutMs);
    g_cancellable_cancel(cancel);
    g_object_unref(cancel);
    if (!pending->done || pending->failed) {
      return {PageCallStatus::kFailed, {}, FromUtf8(pending->error)};
    }
    std::optional<PageCallOutcome> outcome = ReadPageCallAnswer(FromUtf8(pending->answer));
    if (!outcome) return {PageCallStatus::kFailed, {}, {}};
    return *outcome;
  }

 private:
  WebKitWebView* view_;
};

class WebKitBrowser final : public EmbeddedBrowser {
 public:
  WebKitBrowser(GtkLayout* layout, std::function<void(TextView url)> onComplete)
      : layout_(layout), onComplete_(std::move(onComplete)) {
    WebKitUserContentManager* content = webkit_user_content_manager_new();
    WebKitUserScript* external =
        webkit_user_script_new(kExternalObjectScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, external);
    webkit_user_script_unref(external);
    WebKitUserStyleSheet* style =
        webkit_user_style_sheet_new(kNoScrollBarsStyle, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                    WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    webkit_user_content_manager_add_style_sheet(content, style);
    webkit_user_style_sheet_unref(style);
    view_ = WEBKIT_WEB_VIEW(webkit_web_view_new_with_user_content_manager(content));
    g_object_unref(content);
    g_object_ref_sink(view_);
    g_signal_connect(view_, "context-menu",
                     G_CALLBACK(+[](WebKitWebView*, WebKitContextMenu*, GdkEvent*,
                                    WebKitHitTestResult*, gpointer) -> gboolean { return TRUE; }),
                     nullptr);
    g_signal_connect(view_, "load-changed", G_CALLBACK(LoadChanged), this);
    gtk_layout_put(layout_, GTK_WIDGET(view_), 0, 0);
    gtk_widget_set_size_request(GTK_WIDGET(view_), 0, 0);
    gtk_widget_show(GTK_WIDGET(view_));
    gtk_widget_grab_focus(GTK_WIDGET(view_));
  }
  ~WebKitBrowser() override {
    g_signal_handlers_disconnect_by_data(view_, this);
    g_object_unref(view_);
  }
  WebKitBrowser(const WebKitBrowser&) = delete;
  WebKitBrowser& operator=(const WebKitBrowser&) = delete;

  bool HasWindow() const override { return gtk_widget_get_parent(GTK_WIDGET(view_)) != nullptr; }
  // The engine shows no script error dialogs of its own: nothing to silence.
  void SetSilent(bool) override {}
  void Navigate(TextView url) override {
    loaded_ = false;
    webkit_web_view_load_uri(view_, ToUtf8(url).c_str());
  }
  void MoveWindow(const Rect& rect, Repaint repaint) override {
    if (!HasWindow()) return;
    gtk_layout_move(layout_, GTK_WIDGET(view_), rect.left, rect.top);
    gtk_widget_set_size_request(GTK_WIDGET(view_), rect.width(), rect.height());
    if (repaint == Repaint::kYes) gtk_widget_queue_draw(GTK_WIDGET(view_));
    if (gtk_widget_get_mapped(GTK_WIDGET(view_))) {
      IterateUntil([&] { return HasSize(GTK_WIDGET(view_), rect); }, kLayoutTimeoutMs);
    }
  }
  std::shared_ptr<PageDocument> Document() override {
    if (!loaded_) return nullptr;
    return std::make_shared<WebKitPage>(view_);
  }
  // Keys reach the focused view through GTK itself; there is no accelerator table to
  // give them to first.
  void ForwardKeyDown(const KeyMessage&) override {}

 private:
  static void LoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    if (event != WEBKIT_LOAD_FINISHED) return;
    auto* self = static_cast<WebKitBrowser*>(data);
    self->loaded_ = true;
    const char* uri = webkit_web_view_get_uri(view);
    self->onComplete_(FromUtf8(uri ? uri : ""));
  }

  GtkLayout* layout_;
  WebKitWebView* view_ = nullptr;
  bool loaded_ = false;
  std::function<void(TextView url)> onComplete_;
};

class GtkDesktopWindow final : public DesktopWindow {
 public:
  explicit GtkDesktopWindow(TextView title) : title_(ToUtf8(title)) {}
  ~GtkDesktopWindow() override {
    for (auto& [id, source] : timers_) g_source_remove(source);
    timers_.clear();
    if (window_) {
      g_signal_handlers_disconnect_by_data(window_, this);
      gtk_widget_destroy(window_);
    }
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
  }
  GtkDesktopWindow(const GtkDesktopWindow&) = delete;
  GtkDesktopWindow& operator=(const GtkDesktopWindow&) = delete;

  void SetHandlers(Handlers handlers) override { handlers_ = std::move(handlers); }

  bool EnsureWindow() override {
    if (window_) return true;
    if (closed_) return false;
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), title_.c_str());
    gtk_window_set_default_size(GTK_WINDOW(window_), size_.width(), size_.height());
    layout_ = gtk_layout_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(window_), layout_);
    g_signal_connect(window_, "delete-event", G_CALLBACK(DeleteEvent), this);
    g_signal_connect(layout_, "size-allocate", G_CALLBACK(SizeAllocated), this);
    gtk_widget_show_all(window_);
    if (handlers_.created) handlers_.created();
    return true;
  }
  Rect ClientRect() const override { return {0, 0, size_.width(), size_.height()}; }
  void MoveWindow(const Rect& rect, Repaint) override {
    size_ = {0, 0, std::max(rect.width(), 1), std::max(rect.height(), 1)};
    if (!window_) return;
    gtk_window_resize(GTK_WINDOW(window_), size_.width(), size_.height());
    if (gtk_widget_get_mapped(layout_)) {
      Rect wanted = size_;
      IterateUntil([&] { return HasSize(layout_, wanted); }, kLayoutTimeoutMs);
    }
  }
  void MarkModified() override {}
  Text HostDocumentUrl() const override { return {}; }
  void RunHostDocumentCommand(HostDocumentCommand) override {}

  std::unique_ptr<EmbeddedBrowser> CreateBrowser(
      std::function<void(TextView url)> onComplete) override {
    if (!layout_) return nullptr;
    return std::make_unique<WebKitBrowser>(GTK_LAYOUT(layout_), std::move(onComplete));
  }
  uint32_t SetTimer(uint32_t id, uint32_t periodMs) override {
    if (id == 0) return 0;
    KillTimer(id);
    auto* tick = new TimerTick{this, id};
    timers_[id] = g_timeout_add_full(G_PRIORITY_DEFAULT, periodMs, Tick, tick,
                                     [](gpointer data) { delete static_cast<TimerTick*>(data); });
    return id;
  }
  void KillTimer(uint32_t id) override {
    auto found = timers_.find(id);
    if (found == timers_.end()) return;
    g_source_remove(found->second);
    timers_.erase(found);
  }

  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) override {
    return IterateUntil([&] { return done() || closed_; }, static_cast<unsigned>(timeout.count()));
  }
  void RunUntilClosed() override {
    while (!closed_) g_main_context_iteration(nullptr, TRUE);
  }
  bool Closed() const override { return closed_; }

 private:
  struct TimerTick {
    GtkDesktopWindow* window;
    uint32_t id;
  };

  static gboolean Tick(gpointer data) {
    auto* tick = static_cast<TimerTick*>(data);
    if (tick->window->handlers_.timer) tick->window->handlers_.timer(tick->id);
    return G_SOURCE_CONTINUE;
  }
  static gboolean DeleteEvent(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<GtkDesktopWindow*>(data)->closed_ = true;
    return TRUE;  // the window stays until the command lets go of the control
  }
  static void SizeAllocated(GtkWidget*, GdkRectangle* area, gpointer data) {
    auto* self = static_cast<GtkDesktopWindow*>(data);
    Rect size{0, 0, area->width, area->height};
    if (size == self->size_) return;
    self->size_ = size;
    if (self->handlers_.resized) self->handlers_.resized();
  }

  std::string title_;
  Handlers handlers_;
  GtkWidget* window_ = nullptr;
  GtkWidget* layout_ = nullptr;
  Rect size_{0, 0, 800, 600};
  bool closed_ = false;
  std::map<uint32_t, guint> timers_;
};

}  // namespace

}  // namespace qorva

extern "C" __attribute__((visibility("default"))) qorva::DesktopWindow*
QorvaCreateWebKitDesktopWindow(const char16_t* title, std::size_t length) {
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  return new qorva::GtkDesktopWindow(qorva::TextView(title, length));
}

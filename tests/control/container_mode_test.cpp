// The control in container mode against an in-memory browser: start-up, the page's
// completion, the readiness poll and the bridge methods.
#include <gtest/gtest.h>

#include "control/bridge_methods.h"
#include "control/control_scene.h"
#include "platform/embedded_browser.h"

namespace qorva {
namespace {

constexpr TextView kPage = u"http://editor.example/root/pages/editor_container.html";

PageValue String(Text text) { return {PageValue::Kind::kString, std::move(text)}; }

struct ContainerScene : ControlScene {
  explicit ContainerScene(bool browserAvailable = true) {
    site.browserAvailable = browserAvailable;
    control.events.Advise([this] { ++loadedEvents; });
    Load({{u"hasContainer", u"1"}, {u"qorvaEditorInitURL", u"http://editor.example/root/"}});
    site.MoveWindow({0, 0, 640, 480}, Repaint::kYes);
    control.OnWindowCreated();
  }
  MemoryBrowser& browser() { return *site.browser(); }
  // The container page loads with `status` as its readiness answer.
  std::shared_ptr<MemoryPage> LoadPage(PageValue status, TextView url = kPage) {
    auto page = std::make_shared<MemoryPage>();
    page->Define(u"get_editor_status", std::move(status));
    browser().document = page;
    browser().Complete(url);
    return page;
  }
  // The window delivers ticks while the poll's timer runs.
  void Tick(int times = 1) {
    for (int i = 0; i < times && site.timers().contains(control.loadPollTimerId); ++i) {
      control.OnTimer(control.loadPollTimerId);
    }
  }
  int loadedEvents = 0;
};

TEST(ContainerStartUp, CreatesASilentBrowserSentToTheContainerPage) {
  ContainerScene scene;
  EXPECT_EQ(scene.control.browserCreated, 1);
  ASSERT_NE(scene.site.browser(), nullptr);
  EXPECT_TRUE(scene.browser().silent);
  EXPECT_EQ(scene.browser().navigations, std::vector<Text>{Text(kPage)});
  ASSERT_EQ(scene.browser().moves.size(), 1u);
  EXPECT_EQ(scene.browser().moves[0].rect, (Rect{0, 0, 640, 480}));
  EXPECT_EQ(scene.browser().moves[0].repaint, Repaint::kNo);
  EXPECT_TRUE(scene.site.timers().empty());
}

TEST(ContainerStartUp, WithoutABrowserNothingStartsAndNoEventFires) {
  ContainerScene scene(/*browserAvailable=*/false);
  EXPECT_EQ(scene.control.browserCreated, 0);
  EXPECT_EQ(scene.control.browser, nullptr);
  scene.control.OnDocumentComplete(kPage);
  scene.control.SetWidth(300);
  scene.control.OnKeyDown({});
  EXPECT_TRUE(scene.site.timers().empty());
  EXPECT_EQ(scene.loadedEvents, 0);
  EXPECT_EQ(scene.Call(u"QORVAGetMethod", {Variant::String(u"getHtml")}).value.text, u"");
}

TEST(ContainerStartUp, OutsideContainerModeNoBrowserIsMade) {
  ControlScene scene;
  scene.site.browserAvailable = true;
  scene.Load({{u"hasContainer", u"0"}});
  scene.control.OnWindowCreated();
  EXPECT_EQ(scene.site.browser(), nullptr);
  EXPECT_EQ(scene.control.browserCreated, 0);
}

TEST(DocumentComplete, StartsThePollOnlyForTheContainerPageLetterCaseAside) {
  struct Case {
    TextView url;
    bool polls;
  } cases[] = {
      {kPage, true},
      {u"HTTP://EDITOR.example/Root/PAGES/editor_container.HTML", true},
      {u"http://editor.example/root/pages/editor_container.html#x", false},
      {u"http://editor.example/root/pages/frame.html", false},
      {u"about:blank", false},
      {u"", false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    ContainerScene scene;
    scene.LoadPage(String(u"TRUE"), cases[i].url);
    EXPECT_EQ(scene.site.timers().size(), cases[i].polls ? 1u : 0u) << "case " << i;
    EXPECT_EQ(scene.control.scriptBridgeReady, cases[i].polls) << "case " << i;
    if (cases[i].polls) {
      EXPECT_EQ(scene.site.timers().at(1), 100u) << "case " << i;
    }
  }
}

TEST(DocumentComplete, IgnoredOnceTheModeIsOff) {
  ContainerScene scene;
  scene.control.hasContainer = 0;
  scene.LoadPage(String(u"TRUE"));
  EXPECT_TRUE(scene.site.timers().empty());
}

TEST(ReadinessPoll, FiresOnlyForTheExactTextTrue) {
  struct Case {
    PageValue status;
    bool fires;
  } cases[] = {
      {String(u"TRUE"), true},
      {String(u"true"), false},
      {String(u"TRUE "), false},
      {String(u""), false},
      {{PageValue::Kind::kBoolean, {}, 0, 0, true}, false},
      {{PageValue::Kind::kInteger, {}, 1}, false},
      {{}, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    ContainerScene scene;
    std::shared_ptr<MemoryPage> page = scene.LoadPage(cases[i].status);
    scene.Tick(5);
    EXPECT_EQ(scene.loadedEvents, cases[i].fires ? 1 : 0) << "case " << i;
    EXPECT_EQ(scene.site.timers().empty(), cases[i].fires) << "case " << i;
    // Polling stops at the first "TRUE"; otherwise every tick polls.
    EXPECT_EQ(page->calls().size(), cases[i].fires ? 1u : 5u) << "case " << i;
  }
}

TEST(ReadinessPoll, APageWithoutTheFunctionIsPolledWithoutEnd) {
  ContainerScene scene;
  auto blank = std::make_shared<MemoryPage>();
  scene.browser().document = blank;
  scene.control.SetQorvaEditorInitURL(u"about:blank");
  scene.browser().Complete(u"about:blank");
  scene.Tick(50);
  EXPECT_EQ(scene.loadedEvents, 0);
  EXPECT_EQ(scene.site.timers().size(), 1u);
  EXPECT_EQ(scene.control.jsWebPage.LastErrorText(), u"JSCall Error:\nUnknown name.");
}

TEST(ReadinessPoll, OtherTimersAreLeftToTheWindow) {
  ContainerScene scene;
  scene.LoadPage(String(u"TRUE"));
  EXPECT_FALSE(scene.control.OnTimer(scene.control.loadPollTimerId + 1));
  EXPECT_EQ(scene.loadedEvents, 0);
  EXPECT_EQ(scene.site.timers().size(), 1u);
}

TEST(ReadinessPoll, AModeSwitchedOffFiresAtOnce) {
  ContainerScene scene;
  std::shared_ptr<MemoryPage> page = scene.LoadPage(String(u"FALSE"));
  scene.control.hasContainer = 0;
  scene.Tick();
  EXPECT_EQ(scene.loadedEvents, 1);
  EXPECT_TRUE(page->calls().empty());
  EXPECT_TRUE(scene.site.timers().empty());
}

TEST(ReadinessPoll, ATickDuringAPollDoesNotPollAgain) {
  ContainerScene scene;
  auto page = std::make_shared<MemoryPage>();
  int depth = 0;
  int deepest = 0;
  page->Define(u"get_editor_status", [&](std::span<const Text>) {
    ++depth;
    deepest = std::max(deepest, depth);
    // A dialog's nested message loop delivers the next tick.
    if (depth == 1) scene.Tick();
    --depth;
    return PageCallOutcome{PageCallStatus::kOk, String(u"TRUE"), {}};
  });
  scene.browser().document = page;
  scene.browser().Complete(kPage);
  scene.Tick();
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(scene.loadedEvents, 1);
}

TEST(ReadinessPoll, NavigatingAgainFiresTheEventAgain) {
  ContainerScene scene;
  scene.LoadPage(String(u"TRUE"));
  scene.Tick();
  ASSERT_EQ(scene.loadedEvents, 1);
  EXPECT_EQ(scene.Put(u"qorvaEditorInitURL", Variant::String(u"http://other.example")),
            DispatchStatus::kOk);
  EXPECT_EQ(scene.browser().navigations.back(),
            u"http://other.example/pages/editor_container.html");
  scene.LoadPage(String(u"TRUE"), u"http://other.example/pages/editor_container.html");
  scene.Tick();
  EXPECT_EQ(scene.loadedEvents, 2);
}

TEST(Resize, TheBrowserFollowsTheWindow) {
  ContainerScene scene;
  scene.control.SetWidth(300);
  EXPECT_EQ(scene.browser().moves.back().rect, (Rect{0, 0, 300, 480}));
  EXPECT_EQ(scene.browser().moves.back().repaint, Repaint::kYes);
  scene.site.MoveWindow({0, 0, 200, 100}, Repaint::kYes);
  scene.control.OnWindowResized();
  EXPECT_EQ(scene.browser().moves.back().rect, (Rect{0, 0, 200, 100}));
  size_t moves = scene.browser().moves.size();
  scene.browser().hasWindow = false;
  scene.control.OnWindowResized();
  scene.control.OnKeyDown({});
  EXPECT_EQ(scene.browser().moves.size(), moves);
  EXPECT_TRUE(scene.browser().keys.empty());
}

TEST(KeyDown, GoesToTheBrowserOnlyInContainerMode) {
  ContainerScene scene;
  scene.control.OnKeyDown({0, 0x100, 'A', 1});
  ASSERT_EQ(scene.browser().keys.size(), 1u);
  EXPECT_EQ(scene.browser().keys[0].wParam, static_cast<uintptr_t>('A'));
  scene.control.hasContainer = 0;
  scene.control.OnKeyDown({0, 0x100, 'B', 1});
  EXPECT_EQ(scene.browser().keys.size(), 1u);
}

TEST(CleanSetValue, RemovesLineFeedsAndKeepsLoneCarriageReturns) {
  struct Case {
    Text in;
    Text out;
  } cases[] = {
      {u"a\r\nb", u"ab"}, {u"a\rb", u"a\rb"}, {u"a\nb", u"ab"},     {u"\r\r\n\n", u"\r"},
      {u"\n\r", u"\r"},   {u"", u""},         {u"plain", u"plain"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(CleanSetValue(cases[i].in), cases[i].out) << "case " << i;
  }
}

// A page whose dispatchers echo what they receive, one argument per line.
std::shared_ptr<MemoryPage> EchoPage(ContainerScene& scene) {
  auto echo = [](std::span<const Text> arguments) {
    Text joined;
    for (const Text& argument : arguments) joined += u"[" + argument + u"]";
    return PageCallOutcome{PageCallStatus::kOk, String(joined), {}};
  };
  std::shared_ptr<MemoryPage> page = scene.LoadPage(String(u"TRUE"));
  page->Define(u"getQORVAMethod", echo);
  page->Define(u"setQORVAMethod", echo);
  return page;
}

TEST(BridgeMethods, PassTheNameAndTheCleanedValuesInOrder) {
  ContainerScene scene;
  EchoPage(scene);
  struct Case {
    TextView method;
    std::vector<Text> args;
    Text answer;
  } cases[] = {
      {u"QORVAGetMethod", {u"getHtml"}, u"[getHtml][]"},
      {u"QORVASetMethod", {u"setHtml", u"a\r\nb"}, u"[setHtml][ab]"},
      {u"QORVASetMethod", {u"setHtml", u"a\rb"}, u"[setHtml][a\rb]"},
      {u"QORVASetMethod2", {u"f", u"1\n", u"2"}, u"[f][1][2]"},
      {u"QORVASetMethod3", {u"f", u"1", u"2", u"\n3\r\n"}, u"[f][1][2][3]"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::vector<Variant> args;
    for (const Text& arg : cases[i].args) args.push_back(Variant::String(arg));
    EXPECT_EQ(scene.Call(cases[i].method, args).value.text, cases[i].answer) << "case " << i;
  }
}

TEST(BridgeMethods, AnEmptyNameMakesNoCall) {
  ContainerScene scene;
  std::shared_ptr<MemoryPage> page = EchoPage(scene);
  size_t before = page->calls().size();
  EXPECT_EQ(scene.Call(u"QORVAGetMethod", {Variant::String(u"")}).value.text, u"");
  EXPECT_EQ(scene
                .Call(u"QORVASetMethod3", {Variant::String(u""), Variant::String(u"1"),
                                           Variant::String(u"2"), Variant::String(u"3")})
                .value.text,
            u"");
  EXPECT_EQ(page->calls().size(), before);
}

TEST(BridgeMethods, AnswerTheResultAsTextOrEmptyOnFailure) {
  ContainerScene scene;
  std::shared_ptr<MemoryPage> page = scene.LoadPage(String(u"TRUE"));
  Variant name = Variant::String(u"x");
  // Before the page has its dispatchers, the call fails.
  EXPECT_EQ(scene.Call(u"QORVAGetMethod", {name}).value.text, u"");
  auto of = [](PageValue::Kind kind, int32_t integer, bool boolean) {
    PageValue value;
    value.kind = kind;
    value.integer = integer;
    value.boolean = boolean;
    return value;
  };
  struct Case {
    PageValue value;
    Text text;
  };
  const Case cases[] = {
      {of(PageValue::Kind::kInteger, 42, false), u"42"},
      {of(PageValue::Kind::kInteger, -3, false), u"-3"},
      {of(PageValue::Kind::kEmpty, 0, false), u""},
      {of(PageValue::Kind::kBoolean, 0, true), u""},
      {String(u"한글"), u"한글"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    page->Define(u"getQORVAMethod", cases[i].value);
    EXPECT_EQ(scene.Call(u"QORVAGetMethod", {name}).value.text, cases[i].text) << "case " << i;
  }
}

TEST(BridgeMethods, BeforeThePageHasLoadedAnswerEmpty) {
  ContainerScene scene;
  EXPECT_EQ(scene.Call(u"QORVAGetMethod", {Variant::String(u"getHtml")}).value.text, u"");
  EXPECT_EQ(scene.control.jsWebPage.LastErrorText(), u"JSCall Error:\nCannot GetScript");
  EXPECT_TRUE(scene.ui.shown().empty());
}

}  // namespace
}  // namespace qorva

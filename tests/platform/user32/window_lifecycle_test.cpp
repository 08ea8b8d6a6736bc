// Message sequences of creating, showing, moving and destroying windows, and
// the geometry of windows and their children, through the API alone (run
// against our user32 and Windows').
#include "support/window_session.h"

namespace {

using WindowLifecycle = WindowSession;

HWND create_hidden(DWORD style = WS_CAPTION | WS_SYSMENU) {
  register_logging_class();
  return CreateWindowExW(0, LOGGING_CLASS, u"Title", style, 10, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
}

size_t index_of(const std::vector<UINT>& ids, UINT message) {
  for (size_t i = 0; i < ids.size(); ++i)
    if (ids[i] == message) return i;
  return ids.size();
}

// An overlapped window may have its first WM_SIZE and WM_MOVE at creation or
// at its first showing (Windows and Wine wait; ours sends them at once): by
// the time it is shown it has had both, after WM_CREATE.
TEST_F(WindowLifecycle, CreationSendsNcCreateCreateSizeMoveInOrder) {
  HWND window = create_hidden();
  ASSERT_NE(window, nullptr);
  std::vector<UINT> ids = logged_ids(window);
  ASSERT_GE(ids.size(), 4u);
  EXPECT_EQ(std::vector<UINT>(ids.begin(), ids.begin() + 4),
            (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  ids = logged_ids(window);
  size_t size = index_of(ids, WM_SIZE), move = index_of(ids, WM_MOVE);
  ASSERT_LT(size, ids.size());
  ASSERT_LT(move, ids.size());
  EXPECT_LT(index_of(ids, WM_CREATE), size);
  EXPECT_LT(size, move);
  const LoggedMessage* sized = nullptr;
  for (const LoggedMessage& entry : message_log())
    if (entry.window == window && entry.message == WM_SIZE && !sized) sized = &entry;
  ASSERT_NE(sized, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(sized->lparam, MAKELPARAM(client.right, client.bottom));
}

TEST_F(WindowLifecycle, FirstShowingActivatesAndErasesThenPaintsLater) {
  HWND window = create_hidden();
  clear_message_log();
  EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL));  // it was hidden before
  std::vector<UINT> ids = logged_ids(window, {WM_NCPAINT, WM_SETCURSOR, WM_GETTEXT});
  ASSERT_FALSE(ids.empty());
  EXPECT_EQ(ids.front(), static_cast<UINT>(WM_SHOWWINDOW));
  size_t activate = index_of(ids, WM_ACTIVATE), erase = index_of(ids, WM_ERASEBKGND);
  ASSERT_LT(activate, ids.size());
  ASSERT_LT(erase, ids.size());
  EXPECT_LT(index_of(ids, WM_NCACTIVATE), activate);
  EXPECT_LT(activate, index_of(ids, WM_SETFOCUS));  // DefWindowProc's WM_ACTIVATE gives the focus
  EXPECT_LT(index_of(ids, WM_WINDOWPOSCHANGING), erase);
  EXPECT_EQ(LOWORD(message_log()[0].wparam), 1u);  // WM_SHOWWINDOW TRUE
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetActiveWindow(), window);
  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_EQ(GetFocus(), window);

  // The update region stays: WM_PAINT is handed out later, without a second erase.
  clear_message_log();
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(message.hwnd, window);
  DispatchMessageW(&message);
  EXPECT_FALSE(log_contains(window, WM_ERASEBKGND));
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));  // BeginPaint validated it
}

TEST_F(WindowLifecycle, ShowNoActivateLeavesActiveWindowAndHidingPassesActivationOn) {
  HWND first = create_logging_window();
  HWND second = create_hidden();
  clear_message_log();
  EXPECT_FALSE(ShowWindow(second, SW_SHOWNOACTIVATE));
  EXPECT_FALSE(log_contains(second, WM_ACTIVATE));
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(SetActiveWindow(second), first);
  EXPECT_EQ(GetActiveWindow(), second);
  clear_message_log();
  EXPECT_TRUE(ShowWindow(second, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(second));
  EXPECT_EQ(GetActiveWindow(), first);  // activation passes to the other window
  EXPECT_TRUE(log_contains(first, WM_ACTIVATE));
}

// SW_SHOW is documented to activate the window, shown already or not.
TEST_F(WindowLifecycle, ShowingAVisibleWindowActivatesIt) {
  HWND first = create_logging_window();
  HWND second = create_logging_window();
  ASSERT_EQ(SetActiveWindow(first), second);
  EXPECT_TRUE(ShowWindow(second, SW_SHOW));  // was visible: TRUE
  EXPECT_EQ(GetActiveWindow(), second);
}

TEST_F(WindowLifecycle, DestructionEndsWithNcDestroyChildrenFirst) {
  HWND parent = create_logging_window();
  HWND child = create_logging_child(parent, 0, 0, 50, 50);
  HWND grandchild = create_logging_child(child, 0, 0, 10, 10, 2);
  clear_message_log();
  ASSERT_TRUE(DestroyWindow(parent));

  std::vector<std::pair<HWND, UINT>> destroys;
  for (const LoggedMessage& m : message_log())
    if (m.message == WM_DESTROY || m.message == WM_NCDESTROY) destroys.emplace_back(m.window, m.message);
  std::vector<std::pair<HWND, UINT>> expected{{parent, WM_DESTROY},       {child, WM_DESTROY},
                                              {grandchild, WM_DESTROY},   {grandchild, WM_NCDESTROY},
                                              {child, WM_NCDESTROY},      {parent, WM_NCDESTROY}};
  EXPECT_EQ(destroys, expected);
  EXPECT_EQ(message_log().back().message, static_cast<UINT>(WM_NCDESTROY));
  EXPECT_EQ(message_log().back().window, parent);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(DestroyWindow(parent));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowLifecycle, DestroyingAGoneWindowFailsForTheHandle) {
  HWND window = create_logging_window();
  DestroyWindow(window);
  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_EQ(GetLastError(), 1400u);  // ERROR_INVALID_WINDOW_HANDLE
}

TEST_F(WindowLifecycle, DestroyingActiveWindowDeactivatesItBeforeDestroy) {
  HWND window = create_logging_window();
  clear_message_log();
  DestroyWindow(window);
  std::vector<UINT> ids = logged_ids(window, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE});
  std::vector<UINT> expected{WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY};
  EXPECT_EQ(ids, expected);
}

TEST_F(WindowLifecycle, OwnedWindowsAreDestroyedWithTheirOwner) {
  HWND owner = create_logging_window();
  register_logging_class();
  HWND owned = CreateWindowExW(0, LOGGING_CLASS, u"", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);  // a popup's parent is its owner
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

LRESULT refuse_creation(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  logging_window_proc(window, message, wparam, lparam);
  return message == WM_CREATE ? -1 : DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(WindowLifecycle, CreationRefusedByWmCreateDestroysTheWindowAndFails) {
  ASSERT_NE(register_test_class(u"Refusing", refuse_creation), 0);
  HWND window = CreateWindowExW(0, u"refusing", u"", WS_CAPTION, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(window, nullptr);
  ASSERT_FALSE(message_log().empty());
  EXPECT_EQ(message_log().back().message, static_cast<UINT>(WM_NCDESTROY));
  EXPECT_TRUE(UnregisterClassW(u"Refusing", nullptr));  // no window of the class is left
}

// A program that registers and unregisters classes of new names again and
// again (each run of the runtime names its window classes anew) never runs
// out: unregistered classes give their atoms back.
TEST_F(WindowLifecycle, UnregisteredClassesGiveTheirAtomsBack) {
  for (int round = 0; round < 20000; ++round) {
    const std::string ascii = "Round" + std::to_string(round);
    const std::u16string name(ascii.begin(), ascii.end());
    WNDCLASSW definition{};
    definition.lpfnWndProc = logging_window_proc;
    definition.lpszClassName = name.c_str();
    ASSERT_NE(RegisterClassW(&definition), 0) << ascii;
    ASSERT_TRUE(UnregisterClassW(name.c_str(), nullptr)) << ascii;
  }
}

TEST_F(WindowLifecycle, ClassesAreUniqueByNameAndStayWhileWindowsExist) {
  register_logging_class();
  WNDCLASSW again{};
  again.lpfnWndProc = logging_window_proc;
  again.lpszClassName = u"LOGGINGWINDOW";
  EXPECT_EQ(RegisterClassW(&again), 0);  // names compare without case
  HWND window = create_logging_window();
  EXPECT_FALSE(UnregisterClassW(LOGGING_CLASS, nullptr));
  WCHAR name[32];
  EXPECT_EQ(GetClassNameW(window, name, 32), 13);
  EXPECT_EQ(std::u16string(name), u"LoggingWindow");
  EXPECT_EQ(GetClassNameW(window, name, 4), 3);  // truncated and terminated
  EXPECT_EQ(std::u16string(name), u"Log");
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassW(LOGGING_CLASS, nullptr));
  EXPECT_EQ(CreateWindowExW(0, LOGGING_CLASS, u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowLifecycle, AnUnknownClassIsReportedAsNotFound) {
  EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), 1407u);  // ERROR_CANNOT_FIND_WND_CLASS
}

TEST_F(WindowLifecycle, ChildCreationRequiresAParentAndNotifiesIt) {
  register_logging_class();
  EXPECT_EQ(CreateWindowExW(0, LOGGING_CLASS, u"", WS_CHILD, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), 1406u);  // ERROR_TLW_WITH_WSCHILD
  HWND parent = create_logging_window();
  clear_message_log();
  HWND child = create_logging_child(parent, 5, 6, 20, 10, 42);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(log_contains(parent, WM_PARENTNOTIFY));
  EXPECT_EQ(GetWindowLongW(child, GWL_ID), 42);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), child);
  EXPECT_TRUE(IsChild(parent, child));
}

TEST_F(WindowLifecycle, AdjustedRectangleGivesTheRequestedClientSize) {
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT rect{0, 0, 600, 600};
  ASSERT_TRUE(AdjustWindowRectEx(&rect, style, FALSE, 0));
  EXPECT_LT(rect.top, rect.left);  // the caption is above the frame
  register_logging_class();
  HWND window = CreateWindowExW(0, LOGGING_CLASS, u"", style, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                                nullptr, nullptr, nullptr, nullptr);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 600);

  // A one-line menu bar takes SM_CYMENU, "the height of a single-line menu bar", from the client area.
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_STRING, 1, u"Item");
  SetMenu(window, bar);
  GetClientRect(window, &client);
  EXPECT_EQ(client.bottom, 600 - GetSystemMetrics(SM_CYMENU));

  RECT with_edge{0, 0, 100, 50};
  AdjustWindowRectEx(&with_edge, WS_CHILD, FALSE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(with_edge.right - with_edge.left, 104);
  EXPECT_EQ(with_edge.bottom - with_edge.top, 54);
}

TEST_F(WindowLifecycle, ChildGeometryFollowsItsParentsClientArea) {
  HWND parent = create_logging_window(300, 200);
  register_logging_class();
  HWND child = CreateWindowExW(WS_EX_CLIENTEDGE, LOGGING_CLASS, u"", WS_CHILD | WS_VISIBLE, 10, 20, 100, 50, parent,
                               nullptr, nullptr, nullptr);
  RECT client, outer, parent_outer;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 96);  // the sunken edge takes 2 pixels on each side
  EXPECT_EQ(client.bottom, 46);
  GetWindowRect(child, &outer);
  POINT origin{0, 0};
  ClientToScreen(parent, &origin);
  EXPECT_EQ(outer.left, origin.x + 10);
  EXPECT_EQ(outer.top, origin.y + 20);
  EXPECT_EQ(outer.right - outer.left, 100);

  RECT in_parent = outer;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&in_parent), 2);
  EXPECT_EQ(in_parent.left, 10);
  EXPECT_EQ(in_parent.top, 20);
  POINT screen{origin.x + 12 + 10, origin.y + 22 + 20};
  ScreenToClient(child, &screen);
  EXPECT_EQ(screen.x, 10);
  EXPECT_EQ(screen.y, 20);
  GetWindowRect(parent, &parent_outer);
  EXPECT_EQ(parent_outer.left, 100);
  EXPECT_EQ(parent_outer.top, 100);
}

TEST_F(WindowLifecycle, MovingAndSizingSendPositionMessages) {
  HWND window = create_logging_window(200, 100);
  HWND child = create_logging_child(window, 0, 0, 20, 20);
  clear_message_log();
  ASSERT_TRUE(MoveWindow(child, 5, 5, 30, 40, TRUE));
  std::vector<UINT> sized{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE};
  EXPECT_EQ(logged_ids(child), sized);
  const LoggedMessage& size = message_log().back();
  EXPECT_EQ(LOWORD(size.lparam), 30);
  EXPECT_EQ(HIWORD(size.lparam), 40);

  clear_message_log();
  SetWindowPos(window, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(logged_ids(window), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 50);
  EXPECT_EQ(frame.top, 60);
}

// The windows of `among` in the order EnumWindows visits them.
std::vector<HWND> enumerated_among(const std::vector<HWND>& among) {
  struct Walk {
    const std::vector<HWND>* among;
    std::vector<HWND> seen;
  } walk{&among, {}};
  EnumWindows([](HWND window, LPARAM state) {
    auto* visit = reinterpret_cast<Walk*>(state);
    for (HWND candidate : *visit->among)
      if (candidate == window) visit->seen.push_back(window);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&walk));
  return walk.seen;
}

TEST_F(WindowLifecycle, ZOrderAndEnumeration) {
  HWND first = create_logging_window();
  HWND second = create_logging_window();
  HWND third = create_logging_window();
  // Other top-level windows may share the desktop: only the test's own count.
  std::vector<HWND> ours{first, second, third};
  EXPECT_EQ(enumerated_among(ours), (std::vector<HWND>{third, second, first}));  // newest on top
  SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(third, GW_HWNDFIRST), first);
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), third);
  EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), second);
  SetWindowPos(second, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_TRUE(GetWindowLongW(second, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(enumerated_among(ours), (std::vector<HWND>{second, first, third}));  // topmost stays above
}

TEST_F(WindowLifecycle, WindowProcessAndThread) {
  HWND window = create_logging_window();
  DWORD process = 0;
  EXPECT_EQ(GetWindowThreadProcessId(window, &process), GetCurrentThreadId());
  EXPECT_EQ(process, GetCurrentProcessId());
  EXPECT_EQ(GetWindowThreadProcessId(gone_window_handle(), &process), 0u);
}

TEST_F(WindowLifecycle, MinimizeAndRestoreReportSizeKinds) {
  HWND window = create_logging_window();
  clear_message_log();
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(window));
  bool minimized = false;
  for (const LoggedMessage& m : message_log()) minimized |= m.message == WM_SIZE && m.wparam == SIZE_MINIMIZED;
  EXPECT_TRUE(minimized);
  clear_message_log();
  ShowWindow(window, SW_RESTORE);
  EXPECT_FALSE(IsIconic(window));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  ASSERT_TRUE(log_contains(window, WM_SIZE));
}

}  // namespace

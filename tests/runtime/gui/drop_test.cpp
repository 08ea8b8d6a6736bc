#include "runtime/gui/drop.h"

#include <algorithm>

#include "support/gui_runtime.h"
#include "platform/backend/headless/drag_script.h"
#include "platform/backend/headless/headless.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/shell32.h"
#include "runtime/graphics/canvas.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/window.h"

namespace {

// A drag source offering one private block: format 0x200 whose data begins
// with a 32-bit private type id.
class PrivateData final : public IDataObject {
 public:
  explicit PrivateData(std::uint32_t type) : type_(type) {}
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format->cfFormat != DROP_PRIVATE || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    auto* words = static_cast<std::uint32_t*>(GlobalLock(block));
    words[0] = type_;
    words[1] = 0xABCD;
    GlobalUnlock(block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT QueryGetData(FORMATETC* format) override {
    return format->cfFormat == DROP_PRIVATE ? S_OK : DV_E_FORMATETC;
  }
  HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  std::uint32_t type_;
};

class DropTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    ASSERT_NE(window_open(0, 0, 0, 600, 600, u"drop", 0xCA0001, nullptr), 0);
    ASSERT_NE(canvas_create(0, 0, 0, 600, 600), 0);
    canvas = gadget_lookup(0)->handle;
    gadget_drop_enable(0, DROP_FILES, ACTION_COPY);
    gui_drain_events();
  }

  DropTarget* target() { return static_cast<DropTarget*>(GetPropW(canvas, PROPERTY_DROP_ACCEPT)); }

  // Waits for the next drop event; false when the queue holds none.
  bool next_drop() {
    while (const std::int32_t code = event_wait(0))
      if (code == EVENT_GADGET_DROP) return true;
    return false;
  }

  HWND canvas = nullptr;
};

TEST_F(DropTest, PrivateDragsAreAcceptedByTheirTypeId) {
  GadgetObject* record = gadget_lookup(0);
  drop_accept_set(0, CANVAS_KIND, record->handle, DROP_PRIVATE, ACTION_MOVE, 77);
  PrivateData other(78);
  EXPECT_EQ(headless_drag_data(canvas, &other, POINT{5, 5}, DROPEFFECT_MOVE, 0).final_effect, DROPEFFECT_NONE);
  EXPECT_FALSE(next_drop());
  PrivateData wanted(77);
  const HeadlessDragResult result = headless_drag_data(canvas, &wanted, POINT{7, 8}, DROPEFFECT_MOVE, 0);
  EXPECT_EQ(result.final_effect, DROPEFFECT_MOVE);
  ASSERT_TRUE(next_drop());
  const auto* drop = static_cast<const DropRecord*>(event_data());
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(drop->format, DROP_PRIVATE);
  EXPECT_EQ(drop->private_type, 77u);
  EXPECT_EQ(drop->action, ACTION_MOVE);
  EXPECT_EQ(drop->x, 7);
  EXPECT_EQ(drop->data, nullptr);
  EXPECT_EQ(event_dropped_files(), u"");
  // Withdrawing the private type leaves the file format in place.
  drop_accept_set(0, CANVAS_KIND, record->handle, DROP_PRIVATE, 0, 77);
  ASSERT_NE(target(), nullptr);
  EXPECT_EQ(target()->private_types, nullptr);
}

TEST_F(DropTest, ThreeFilesGiveOneEventWithTheNamesJoinedByLineFeeds) {
  const HeadlessDragResult result = headless_drag_files(
      canvas, {u"/home/user/a.ifs", u"/home/user/b.ifs", u"/home/user/c.ifs"}, POINT{10, 20}, DROPEFFECT_COPY, 0);
  ASSERT_TRUE(result.delivered);
  EXPECT_EQ(result.final_effect, DROPEFFECT_COPY);
  ASSERT_TRUE(next_drop());
  EXPECT_EQ(event_menu_item(), 0);
  EXPECT_EQ(event_window(), 0);
  EXPECT_EQ(event_dropped_files(), u"/home/user/a.ifs\n/home/user/b.ifs\n/home/user/c.ifs");
  const auto* record = static_cast<const DropRecord*>(event_data());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->format, DROP_FILES);
  EXPECT_EQ(record->action, ACTION_COPY);
  EXPECT_EQ(record->x, 10);
  EXPECT_EQ(record->y, 20);
  EXPECT_FALSE(next_drop()) << "one drop, one event";
}

TEST_F(DropTest, OneFileGivesItsPathWithoutLineFeed) {
  headless_drag_files(canvas, {u"/tmp/fern.ifs"}, POINT{1, 1}, DROPEFFECT_COPY | DROPEFFECT_MOVE, 0);
  ASSERT_TRUE(next_drop());
  EXPECT_EQ(event_dropped_files(), u"/tmp/fern.ifs");
}

TEST_F(DropTest, TheNamesAreGoneAfterTheNextEvent) {
  headless_drag_files(canvas, {u"/tmp/fern.ifs"}, POINT{1, 1}, DROPEFFECT_COPY, 0);
  ASSERT_TRUE(next_drop());
  event_push(EVENT_MENU, 0, 0, 0, nullptr, nullptr);
  EXPECT_EQ(event_wait(0), EVENT_MENU);
  EXPECT_EQ(event_dropped_files(), u"");
  // What is left are the platform's messages that carried the drag's calls: raw
  // message ids, never another event, and no names with them.
  for (std::int32_t code; (code = event_wait(0)) != 0;) {
    EXPECT_FALSE(code >= EVENT_GADGET && code <= EVENT_SIZE) << code;
    EXPECT_EQ(event_dropped_files(), u"");
  }
}

TEST_F(DropTest, ATextDragIsRefusedAndQueuesNothing) {
  const HeadlessDragResult result = headless_drag_text(canvas, u"hello", POINT{5, 5}, DROPEFFECT_COPY, 0);
  EXPECT_EQ(result.enter_effect, DROPEFFECT_NONE);
  EXPECT_EQ(result.over_effect, DROPEFFECT_NONE);
  EXPECT_EQ(result.final_effect, DROPEFFECT_NONE);
  EXPECT_FALSE(next_drop());
}

TEST_F(DropTest, WithOnlyCopyAllowedAMoveOnlySourceIsRefused) {
  const HeadlessDragResult moved = headless_drag_files(canvas, {u"/tmp/a.ifs"}, POINT{5, 5}, DROPEFFECT_MOVE, 0);
  EXPECT_EQ(moved.enter_effect, DROPEFFECT_NONE);
  EXPECT_EQ(moved.final_effect, DROPEFFECT_NONE);
  EXPECT_FALSE(next_drop());
  for (DWORD keys : {static_cast<DWORD>(MK_SHIFT), static_cast<DWORD>(MK_CONTROL)}) {
    const HeadlessDragResult copied =
        headless_drag_files(canvas, {u"/tmp/a.ifs"}, POINT{5, 5}, DROPEFFECT_COPY | DROPEFFECT_MOVE, keys);
    EXPECT_EQ(copied.final_effect, DROPEFFECT_COPY) << keys;
    EXPECT_TRUE(next_drop());
  }
}

TEST_F(DropTest, EnablingTwiceOnlyUpdatesTheActions) {
  DropTarget* first = target();
  ASSERT_NE(first, nullptr);
  gadget_drop_enable(0, DROP_FILES, ACTION_COPY | ACTION_MOVE);
  EXPECT_EQ(target(), first);
  ASSERT_NE(first->formats, nullptr);
  EXPECT_EQ(first->formats->next, nullptr);
  EXPECT_EQ(first->formats->actions, ACTION_COPY | ACTION_MOVE);
  const HeadlessDragResult moved = headless_drag_files(canvas, {u"/tmp/a.ifs"}, POINT{5, 5}, DROPEFFECT_MOVE, 0);
  EXPECT_EQ(moved.final_effect, DROPEFFECT_MOVE);
}

TEST_F(DropTest, TextStandsForThreeFormatsNewestFirst) {
  gadget_drop_enable(0, DROP_TEXT, ACTION_COPY);
  std::vector<std::uint32_t> formats;
  for (DropFormatEntry* entry = target()->formats; entry; entry = entry->next) formats.push_back(entry->format);
  EXPECT_EQ(formats, (std::vector<std::uint32_t>{CF_UNICODETEXT, CF_OEMTEXT, CF_TEXT, DROP_FILES}));
  const HeadlessDragResult text = headless_drag_text(canvas, u"hello", POINT{5, 5}, DROPEFFECT_COPY, 0);
  EXPECT_EQ(text.final_effect, DROPEFFECT_COPY);
  ASSERT_TRUE(next_drop());
  EXPECT_EQ(event_dropped_files(), u"") << "a text drop carries no file list";
  const auto* record = static_cast<const DropRecord*>(event_data());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->format, static_cast<std::uint32_t>(CF_UNICODETEXT));
  ASSERT_GE(record->size, 12u);
  EXPECT_EQ(std::u16string(static_cast<const char16_t*>(record->data), 5), u"hello");
}

TEST_F(DropTest, WithdrawingTheLastFormatRevokesTheTarget) {
  gadget_drop_enable(0, DROP_FILES, 0);
  EXPECT_EQ(target(), nullptr);
  const HeadlessDragResult result = headless_drag_files(canvas, {u"/tmp/a.ifs"}, POINT{5, 5}, DROPEFFECT_COPY, 0);
  EXPECT_EQ(result.final_effect, DROPEFFECT_NONE);
  EXPECT_FALSE(next_drop());
  // And it can be enabled again.
  gadget_drop_enable(0, DROP_FILES, ACTION_COPY);
  EXPECT_EQ(headless_drag_files(canvas, {u"/tmp/a.ifs"}, POINT{5, 5}, DROPEFFECT_COPY, 0).final_effect,
            DROPEFFECT_COPY);
}

TEST_F(DropTest, MissingControlsAreIgnoredAndDestroyedOnesStopAccepting) {
  gadget_drop_enable(9, DROP_FILES, ACTION_COPY);
  gadget_free(0);
  EXPECT_EQ(gadget_lookup(0), nullptr);
  EXPECT_FALSE(IsWindow(canvas));
  EXPECT_FALSE(next_drop());
}

TEST_F(DropTest, OtherEventsDataIsNeverReadAsAFileList) {
  SendMessageW(canvas, WM_CHAR, 'x', 0);
  ASSERT_EQ(event_wait(0), EVENT_GADGET);
  ASSERT_NE(event_data(), nullptr);
  EXPECT_EQ(event_dropped_files(), u"");
}

TEST_F(DropTest, AMalformedFileListGivesNoNames) {
  // Names said to start far beyond the block, and a list without terminator.
  struct Block {
    DROPFILES header;
    char16_t names[3];
  };
  static Block bogus_offset{{0xFFFF, {0, 0}, FALSE, TRUE}, {u'a', u'b', u'c'}};
  static Block unterminated{{sizeof(DROPFILES), {0, 0}, FALSE, TRUE}, {u'a', u'b', u'c'}};
  static DropRecord records[] = {{DROP_FILES, 0, ACTION_COPY, 0, 0, &bogus_offset, sizeof(Block)},
                                 {DROP_FILES, 0, ACTION_COPY, 0, 0, &unterminated, sizeof(Block)}};
  for (DropRecord& record : records) {
    event_push(EVENT_GADGET_DROP, 0, 0, 0, &record, nullptr);
    ASSERT_EQ(event_wait(0), EVENT_GADGET_DROP);
    const std::u16string names = event_dropped_files();
    EXPECT_LE(names.size(), 3u);
  }
}

TEST_F(DropTest, TheTargetAnswersOnlyItsOwnInterfaces) {
  DropTarget* drop_target = target();
  void* object = nullptr;
  EXPECT_EQ(drop_target->QueryInterface(IID_IDropTarget, &object), S_OK);
  EXPECT_EQ(object, static_cast<IDropTarget*>(drop_target));
  drop_target->Release();
  EXPECT_EQ(drop_target->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(drop_target->QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);
}

// Sibling windows of the given class and style, raised above everything
// already there (a new child starts at the bottom of the z-order).
HWND make_sibling(HWND parent, const char16_t* class_name, LONG style, int x, int y) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  RegisterClassW(&window_class);
  HWND sibling = CreateWindowExW(0, class_name, nullptr, WS_CHILD | WS_VISIBLE | style, x, y, 40, 40, parent,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowPos(sibling, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  return sibling;
}

// The children of `parent` from the top of the z-order down.
std::vector<HWND> children_top_down(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

bool is_below(HWND parent, HWND lower, HWND upper) {
  std::vector<HWND> order = children_top_down(parent);
  return std::find(order.begin(), order.end(), lower) > std::find(order.begin(), order.end(), upper);
}

const GadgetKindTable KIND_SEVEN = {7, sizeof(GadgetKindTable), nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, {}};

// Buttons (of a style with any of the three lowest bits set) that lie over the control go below it,
// so that they cannot cover the drop area; everything else keeps its place. Not for kind 7.
TEST_F(DropTest, OverlappingButtonsAboveTheControlGoBelowIt) {
  HWND window = window_handle(0);
  HWND group_box = make_sibling(window, u"Button", 7, 10, 10);
  HWND check_box = make_sibling(window, u"Button", 2, 100, 10);
  HWND push_button = make_sibling(window, u"Button", 0, 200, 10);
  HWND outside = make_sibling(window, u"Button", 7, 650, 10);
  HWND label = make_sibling(window, u"TestLabel", 7, 300, 10);
  for (HWND sibling : {group_box, check_box, push_button, outside, label})
    ASSERT_TRUE(is_below(window, canvas, sibling));

  gadget_drop_enable(0, DROP_TEXT, ACTION_COPY);
  EXPECT_TRUE(is_below(window, group_box, canvas));
  EXPECT_TRUE(is_below(window, check_box, canvas));
  EXPECT_TRUE(is_below(window, canvas, push_button)) << "a push button's style has none of the bits";
  EXPECT_TRUE(is_below(window, canvas, outside)) << "it does not overlap";
  EXPECT_TRUE(is_below(window, canvas, label)) << "not a button";

  HWND seventh = make_sibling(window, u"TestLabel", 0, 0, 0);
  gadget_register(7, static_cast<GadgetObject*>(object_allocate(gadget_registry(), 7)), seventh, &KIND_SEVEN);
  HWND over_seventh = make_sibling(window, u"Button", 7, 0, 0);
  gadget_drop_enable(7, DROP_FILES, ACTION_COPY);
  EXPECT_TRUE(is_below(window, seventh, over_seventh)) << "kind 7 leaves its buttons where they are";
}

}  // namespace

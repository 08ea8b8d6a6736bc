// The data objects drags from outside carry: which formats they offer, the blocks
// they hand out, and Win32's answers to requests they cannot serve.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/ole32/drag_data_object.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/shell32.h"

namespace {

FORMATETC request(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL) {
  return {format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

// The bytes of a medium's global block.
std::string block_bytes(const STGMEDIUM& medium) {
  const char* memory = static_cast<const char*>(GlobalLock(medium.hGlobal));
  std::string bytes(memory, GlobalSize(medium.hGlobal));
  GlobalUnlock(medium.hGlobal);
  return bytes;
}

std::string utf16_bytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

DWORD dword_at(const std::string& bytes, size_t at) {
  DWORD value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<BYTE>(bytes[at + i]);
  return value;
}

class DataObjectHolder {
 public:
  explicit DataObjectHolder(IDataObject* object) : object_(object) {}
  ~DataObjectHolder() {
    if (object_ != nullptr) object_->Release();
  }
  IDataObject* operator->() const { return object_; }
  IDataObject* get() const { return object_; }

 private:
  IDataObject* object_;
};

TEST(DragDataFiles, FileListBlockHasTheDropfilesLayout) {
  DataObjectHolder files(drag_data_create_files({u"/home/ann/fern.ifs", u"/tmp/\u00FC.ifs"}));
  ASSERT_NE(files.get(), nullptr);
  FORMATETC format = request(CF_HDROP);
  EXPECT_EQ(files->QueryGetData(&format), S_OK);
  STGMEDIUM medium{};
  ASSERT_EQ(files->GetData(&format, &medium), S_OK);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(medium.pUnkForRelease, nullptr);

  std::string bytes = block_bytes(medium);
  ASSERT_GE(bytes.size(), 20u);
  EXPECT_EQ(dword_at(bytes, 0), 20u);  // names follow the header
  EXPECT_EQ(dword_at(bytes, 12), 0u);  // not in the non-client area
  EXPECT_EQ(dword_at(bytes, 16), 1u);  // wide names
  std::string names = utf16_bytes(std::u16string(u"/home/ann/fern.ifs") + u'\0' + u"/tmp/\u00FC.ifs" + u'\0' + u'\0');
  EXPECT_EQ(bytes.substr(20), names);

  // The same block read through the shell's reader.
  HDROP drop = static_cast<HDROP>(medium.hGlobal);
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  WCHAR second[16];
  EXPECT_EQ(DragQueryFileW(drop, 1, second, 16), 10u);
  EXPECT_EQ(std::u16string(second), u"/tmp/\u00FC.ifs");
  ReleaseStgMedium(&medium);
}

TEST(DragDataFiles, EveryGetDataGivesAnIndependentCopy) {
  DataObjectHolder files(drag_data_create_files({u"/a.ifs"}));
  FORMATETC format = request(CF_HDROP);
  STGMEDIUM first{};
  STGMEDIUM second{};
  ASSERT_EQ(files->GetData(&format, &first), S_OK);
  ASSERT_EQ(files->GetData(&format, &second), S_OK);
  EXPECT_NE(first.hGlobal, second.hGlobal);
  std::string original = block_bytes(second);

  // Scribbling over (and freeing) one copy leaves the object and other copies alone.
  char* scribble = static_cast<char*>(GlobalLock(first.hGlobal));
  std::memset(scribble, 0x55, GlobalSize(first.hGlobal));
  GlobalUnlock(first.hGlobal);
  ReleaseStgMedium(&first);
  STGMEDIUM third{};
  ASSERT_EQ(files->GetData(&format, &third), S_OK);
  EXPECT_EQ(block_bytes(third), original);
  ReleaseStgMedium(&second);
  ReleaseStgMedium(&third);
}

TEST(DragDataFiles, NamesThatWouldCorruptTheListAreRefused) {
  EXPECT_EQ(drag_data_create_files({u"/a", u""}), nullptr);
  EXPECT_EQ(drag_data_create_files({std::u16string(u"/a\0b", 4)}), nullptr);
}

TEST(DragDataFiles, OffersNoTextAndAnswersWithWin32Codes) {
  DataObjectHolder files(drag_data_create_files({u"/a.ifs"}));
  FORMATETC text = request(CF_UNICODETEXT);
  EXPECT_EQ(files->QueryGetData(&text), DV_E_FORMATETC);
  STGMEDIUM medium{};
  EXPECT_EQ(files->GetData(&text, &medium), DV_E_FORMATETC);

  FORMATETC stream = request(CF_HDROP, TYMED_ISTREAM);
  EXPECT_EQ(files->QueryGetData(&stream), DV_E_TYMED);
  FORMATETC any_medium = request(CF_HDROP, TYMED_ISTREAM | TYMED_HGLOBAL);
  EXPECT_EQ(files->QueryGetData(&any_medium), S_OK);

  FORMATETC icon = request(CF_HDROP);
  icon.dwAspect = DVASPECT_ICON;
  EXPECT_EQ(files->QueryGetData(&icon), DV_E_DVASPECT);
  FORMATETC page = request(CF_HDROP);
  page.lindex = 2;
  EXPECT_EQ(files->QueryGetData(&page), DV_E_LINDEX);

  EXPECT_EQ(files->QueryGetData(nullptr), E_INVALIDARG);
  FORMATETC format = request(CF_HDROP);
  EXPECT_EQ(files->GetData(&format, nullptr), E_INVALIDARG);
  EXPECT_EQ(files->SetData(&format, &medium, FALSE), E_NOTIMPL);
  DWORD connection = 0;
  EXPECT_EQ(files->DAdvise(&format, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
}

TEST(DragDataText, OffersWideAndUtf8Text) {
  std::u16string text = u"Gr\u00FC\u00DFe \U0001F600";
  DataObjectHolder data(drag_data_create_text(text));
  ASSERT_NE(data.get(), nullptr);

  FORMATETC wide = request(CF_UNICODETEXT);
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&wide, &medium), S_OK);
  EXPECT_EQ(block_bytes(medium), utf16_bytes(text + u'\0'));
  ReleaseStgMedium(&medium);

  FORMATETC narrow = request(CF_TEXT);
  ASSERT_EQ(data->GetData(&narrow, &medium), S_OK);
#ifdef _WIN32
  // The system's code page: whatever Windows' own conversion makes of the text.
  char expected[32]{};
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, expected, sizeof expected, nullptr, nullptr);
  EXPECT_EQ(block_bytes(medium), std::string(expected, length));
#else
  EXPECT_EQ(block_bytes(medium), std::string("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80", 12) + '\0');
#endif
  ReleaseStgMedium(&medium);

  FORMATETC files = request(CF_HDROP);
  EXPECT_EQ(data->QueryGetData(&files), DV_E_FORMATETC);
  FORMATETC oem = request(CF_OEMTEXT);
  EXPECT_EQ(data->QueryGetData(&oem), DV_E_FORMATETC);
}

TEST(DragDataText, EmptyTextIsJustTheTerminator) {
  DataObjectHolder data(drag_data_create_text(u""));
  FORMATETC wide = request(CF_UNICODETEXT);
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&wide, &medium), S_OK);
  EXPECT_EQ(block_bytes(medium), std::string(2, '\0'));
  ReleaseStgMedium(&medium);
}

TEST(DragDataObject, EnumeratesItsFormatsInOrder) {
  DataObjectHolder data(drag_data_create_text(u"x"));
  IEnumFORMATETC* formats = nullptr;
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);

  FORMATETC got[3]{};
  ULONG fetched = 99;
  EXPECT_EQ(formats->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(got[0].cfFormat, CF_UNICODETEXT);
  EXPECT_EQ(got[1].cfFormat, CF_TEXT);
  EXPECT_EQ(got[1].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(got[1].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
  EXPECT_EQ(got[1].lindex, -1);
  EXPECT_EQ(formats->Next(1, got, nullptr), S_FALSE);
  EXPECT_EQ(formats->Next(2, got, nullptr), E_INVALIDARG);

  EXPECT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Skip(1), S_OK);
  IEnumFORMATETC* copy = nullptr;
  ASSERT_EQ(formats->Clone(&copy), S_OK);
  EXPECT_EQ(copy->Next(1, got, nullptr), S_OK);
  EXPECT_EQ(got[0].cfFormat, CF_TEXT);
  EXPECT_EQ(formats->Skip(5), S_FALSE);
  copy->Release();
  formats->Release();
}

TEST(DragDataObject, AnswersForItsInterfacesOnly) {
  DataObjectHolder data(drag_data_create_text(u"x"));
  void* object = reinterpret_cast<void*>(1);
  ASSERT_EQ(data->QueryInterface(IID_IDataObject, &object), S_OK);
  EXPECT_EQ(object, data.get());
  static_cast<IUnknown*>(object)->Release();
  ASSERT_EQ(data->QueryInterface(IID_IUnknown, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(data->QueryInterface(IID_IDropTarget, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(data->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(data->AddRef(), 2u);
  EXPECT_EQ(data->Release(), 1u);
}

TEST(DragDataObject, GetDataHereFillsTheCallersBlock) {
  DataObjectHolder data(drag_data_create_text(u"abc"));
  FORMATETC narrow = request(CF_TEXT);
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 2);
  EXPECT_EQ(data->GetDataHere(&narrow, &medium), STG_E_MEDIUMFULL);
  GlobalFree(medium.hGlobal);
  medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 8);
  ASSERT_EQ(data->GetDataHere(&narrow, &medium), S_OK);
  EXPECT_EQ(block_bytes(medium).substr(0, 4), std::string("abc", 4));
  ReleaseStgMedium(&medium);
}

}  // namespace

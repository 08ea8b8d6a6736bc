#include "platform/ole32/drag_data_object.h"

#include <cstring>
#include <new>

#include "platform/ole32/drag_data_blocks.h"
#include "platform/ole32/format_enumerator.h"
#include "platform/ole32/single_interface_object.h"
#include "platform/win32/kernel32.h"

namespace {

struct OfferedFormat {
  CLIPFORMAT format;
  HGLOBAL block;
};

class DragDataObject final
    : public SingleInterfaceObject<DragDataObject, IDataObject, IID_IDataObject> {
 public:
  // Takes the blocks; any null block makes the object unusable (see usable()).
  explicit DragDataObject(std::vector<OfferedFormat> offered) : offered_(std::move(offered)) {}

  bool usable() const {
    for (const OfferedFormat& entry : offered_) {
      if (entry.block == nullptr) return false;
    }
    return true;
  }

  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    const OfferedFormat* entry = nullptr;
    HRESULT checked = find_offered(*format, &entry);
    if (FAILED(checked)) return checked;
    HGLOBAL copy = drag_block_copy(entry->block);
    if (copy == nullptr) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }

  // Fills a global block the caller provides, which must be large enough.
  HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    const OfferedFormat* entry = nullptr;
    HRESULT checked = find_offered(*format, &entry);
    if (FAILED(checked)) return checked;
    if (medium->tymed != TYMED_HGLOBAL || medium->hGlobal == nullptr) return DV_E_TYMED;
    return copy_into(entry->block, medium->hGlobal);
  }

  HRESULT QueryGetData(FORMATETC* format) override {
    if (format == nullptr) return E_INVALIDARG;
    const OfferedFormat* entry = nullptr;
    return find_offered(*format, &entry);
  }

  // The data does not depend on a target device, so every request is already canonical.
  HRESULT GetCanonicalFormatEtc(FORMATETC* format_in, FORMATETC* format_out) override {
    if (format_in == nullptr || format_out == nullptr) return E_INVALIDARG;
    *format_out = *format_in;
    format_out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }

  // What comes from outside the program is read-only.
  HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }

  HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (formats == nullptr) return E_INVALIDARG;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> list;
    for (const OfferedFormat& entry : offered_) {
      list.push_back({entry.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    }
    *formats = format_enumerator_create(list);
    return *formats != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  friend SingleInterfaceObject;
  ~DragDataObject() {
    for (const OfferedFormat& entry : offered_) {
      if (entry.block != nullptr) GlobalFree(entry.block);
    }
  }

  // The checks a request goes through, most telling first.
  HRESULT find_offered(const FORMATETC& format, const OfferedFormat** found) const {
    for (const OfferedFormat& entry : offered_) {
      if (entry.format != format.cfFormat) continue;
      if (format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
      if (format.lindex != -1) return DV_E_LINDEX;
      if ((format.tymed & TYMED_HGLOBAL) == 0) return DV_E_TYMED;
      *found = &entry;
      return S_OK;
    }
    return DV_E_FORMATETC;
  }

  static HRESULT copy_into(HGLOBAL source, HGLOBAL target) {
    SIZE_T size = GlobalSize(source);
    if (GlobalSize(target) < size) return STG_E_MEDIUMFULL;
    const void* from = GlobalLock(source);
    void* to = GlobalLock(target);
    HRESULT result = (from != nullptr && to != nullptr) ? S_OK : E_OUTOFMEMORY;
    if (result == S_OK) std::memcpy(to, from, size);
    if (to != nullptr) GlobalUnlock(target);
    if (from != nullptr) GlobalUnlock(source);
    return result;
  }

  std::vector<OfferedFormat> offered_;
};

IDataObject* usable_or_null(DragDataObject* object) {
  if (object == nullptr || object->usable()) return object;
  object->Release();
  return nullptr;
}

}  // namespace

IDataObject* drag_data_create_files(const std::vector<std::u16string>& paths) {
  HGLOBAL list = drag_block_file_list(paths);
  if (list == nullptr) return nullptr;
  DragDataObject* object = new (std::nothrow) DragDataObject({{CF_HDROP, list}});
  if (object == nullptr) GlobalFree(list);
  return usable_or_null(object);
}

IDataObject* drag_data_create_text(std::u16string_view text) {
  HGLOBAL wide = drag_block_wide_text(text);
  HGLOBAL narrow = drag_block_narrow_text(text);
  DragDataObject* object = new (std::nothrow) DragDataObject({{CF_UNICODETEXT, wide}, {CF_TEXT, narrow}});
  if (object == nullptr) {
    if (wide != nullptr) GlobalFree(wide);
    if (narrow != nullptr) GlobalFree(narrow);
  }
  return usable_or_null(object);
}

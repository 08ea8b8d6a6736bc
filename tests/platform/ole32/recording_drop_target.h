// A drop target for tests: records every call the drag loop makes, answers with a
// chosen effect, and counts its references.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/ole32.h"

struct DropTargetCall {
  std::string operation;  // "DragEnter", "DragOver", "DragLeave", "Drop"
  DWORD key_state;
  POINTL point;
  DWORD offered;          // *effect on entry
  bool data_present;      // DragEnter and Drop carry the data object
};

class RecordingDropTarget final : public IDropTarget {
 public:
  // The effect the target answers with (0: refuse); `needed_format` 0 accepts anything,
  // else only data that QueryGetData says has that format as HGLOBAL.
  explicit RecordingDropTarget(DWORD answer = DROPEFFECT_COPY, CLIPFORMAT needed_format = 0)
      : answer_(answer), needed_format_(needed_format) {}

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the test's stack: counting is all that references do here.
  ULONG AddRef() override { return ++references; }
  ULONG Release() override { return --references; }

  HRESULT DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override {
    calls.push_back({"DragEnter", key_state, point, *effect, data != nullptr});
    accepts_ = needed_format_ == 0 || has_needed_format(data);
    *effect = answer_for(*effect);
    return S_OK;
  }
  HRESULT DragOver(DWORD key_state, POINTL point, DWORD* effect) override {
    calls.push_back({"DragOver", key_state, point, *effect, false});
    *effect = answer_for(*effect);
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.push_back({"DragLeave", 0, {0, 0}, 0, false});
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) override {
    calls.push_back({"Drop", key_state, point, *effect, data != nullptr});
    *effect = answer_for(*effect);
    return S_OK;
  }

  // A careless target answers without looking at what was offered.
  bool ignores_offer = false;

  std::vector<std::string> operations() const {
    std::vector<std::string> names;
    for (const DropTargetCall& call : calls) names.push_back(call.operation);
    return names;
  }

  ULONG references = 0;
  std::vector<DropTargetCall> calls;

 private:
  DWORD answer_for(DWORD offered) const {
    if (!accepts_) return DROPEFFECT_NONE;
    return ignores_offer ? answer_ : (answer_ & offered);
  }

  bool has_needed_format(IDataObject* data) const {
    FORMATETC format{needed_format_, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data != nullptr && data->QueryGetData(&format) == S_OK;
  }

  DWORD answer_;
  CLIPFORMAT needed_format_;
  bool accepts_ = false;
};

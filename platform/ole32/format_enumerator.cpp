#include "platform/ole32/format_enumerator.h"

#include <new>

#include "platform/ole32/single_interface_object.h"

namespace {

class FormatEnumerator final
    : public SingleInterfaceObject<FormatEnumerator, IEnumFORMATETC, IID_IEnumFORMATETC> {
 public:
  FormatEnumerator(std::vector<FORMATETC> formats, size_t position)
      : formats_(std::move(formats)), position_(position) {}

  HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) override {
    // Without a place for the count, only one format may be asked for.
    if (formats == nullptr || (fetched == nullptr && count != 1)) return E_INVALIDARG;
    ULONG copied = 0;
    while (copied < count && position_ < formats_.size()) formats[copied++] = formats_[position_++];
    if (fetched != nullptr) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
  }

  HRESULT Skip(ULONG count) override {
    size_t left = formats_.size() - position_;
    if (count > left) {
      position_ = formats_.size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }

  HRESULT Reset() override {
    position_ = 0;
    return S_OK;
  }

  HRESULT Clone(IEnumFORMATETC** copy) override {
    if (copy == nullptr) return E_INVALIDARG;
    *copy = new (std::nothrow) FormatEnumerator(formats_, position_);
    return *copy != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  friend SingleInterfaceObject;
  ~FormatEnumerator() = default;

  std::vector<FORMATETC> formats_;
  size_t position_;
};

}  // namespace

IEnumFORMATETC* format_enumerator_create(const std::vector<FORMATETC>& formats) {
  return new (std::nothrow) FormatEnumerator(formats, 0);
}

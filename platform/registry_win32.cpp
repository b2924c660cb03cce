// The Win32 registry: TextDirectory under HKEY_CURRENT_USER\BRISQUILL\Import\BQ2018,
// a REG_SZ stored with its terminating NUL.
#include <windows.h>

#include "platform/registry.h"

namespace bq {
namespace {

class Key {
  public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h_) RegCloseKey(h_);
    }
    HKEY* out() { return &h_; }
    HKEY get() const { return h_; }

  private:
    HKEY h_ = nullptr;
};

class Win32Registry : public Registry {
  public:
    void SetTextDirectory(std::string_view folder) override {
        const std::string subkey(kImportSubkey);
        Key product;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, std::string(kProductKey).c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, product.out(), nullptr) != ERROR_SUCCESS)
            throw CreateKeyFailed();
        Key import;
        if (RegCreateKeyExA(product.get(), subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            import.out(), nullptr) != ERROR_SUCCESS)
            throw CreateKeyFailed();
        const std::string value(folder);
        // A key that exists but refuses writing is reported too: a value that
        // was never stored must not look like success.
        if (RegSetValueExA(import.get(), std::string(kTextDirectoryValue).c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
            throw SetDataFailed();
    }
};

}  // namespace

std::unique_ptr<Registry> OpenUserRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace bq

#include "json_duplicate_keys.h"

#include <nlohmann/json.hpp>

#include <set>
#include <vector>

namespace {

// Walks the text as events and keeps, per open object, the keys seen so far.
class DuplicateKeyFinder : public nlohmann::json_sax<nlohmann::json> {
 public:
  std::optional<std::string> found;

  bool null() override { return Value(); }
  bool boolean(bool) override { return Value(); }
  bool number_integer(number_integer_t) override { return Value(); }
  bool number_unsigned(number_unsigned_t) override { return Value(); }
  bool number_float(number_float_t, const string_t&) override { return Value(); }
  bool string(string_t&) override { return Value(); }
  bool binary(binary_t&) override { return Value(); }
  bool start_object(std::size_t) override { return Enter(); }
  bool end_object() override { return Leave(); }
  bool start_array(std::size_t) override { return Enter(); }
  bool end_array() override { return Leave(); }
  bool key(string_t& name) override {
    lastKey_ = name;
    if (scopes_.back().keys.insert(name).second) return true;
    found = Path() + name;
    return false;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  struct Scope {
    std::string name;  // the key the object or array stands under; empty at the top
    std::set<std::string> keys;
  };

  bool Value() {
    lastKey_.clear();
    return true;
  }
  bool Enter() {
    scopes_.push_back({lastKey_, {}});
    return Value();
  }
  bool Leave() {
    scopes_.pop_back();
    lastKey_.clear();
    return true;
  }
  std::string Path() const {
    std::string path;
    for (const Scope& scope : scopes_)
      if (!scope.name.empty()) path += scope.name + ".";
    return path;
  }

  std::vector<Scope> scopes_;
  std::string lastKey_;
};

}  // namespace

std::optional<std::string> FirstDuplicateKey(const std::string& text) {
  DuplicateKeyFinder finder;
  nlohmann::json::sax_parse(text, &finder);
  return finder.found;
}

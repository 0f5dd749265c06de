#include "lib/Dialogs.h"

namespace {

class SilentDialogs final : public Dialogs {
  public:
    void message(const std::string&, const std::string&, Icon) override {}
    bool messageOrSkip(const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string input(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

SilentDialogs g_silent;
Dialogs* g_dialogs = &g_silent;

}  // namespace

Dialogs& dialogs() { return *g_dialogs; }
void setDialogs(Dialogs* d) { g_dialogs = d ? d : &g_silent; }

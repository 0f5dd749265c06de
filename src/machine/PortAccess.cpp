#include "machine/PortAccess.h"

#include <algorithm>

#include "lib/Win1251.h"

#ifdef __linux__
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#endif

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

std::string PortAccessAdvice(const std::string& port, const std::string& user,
                             const std::string& group,
                             const std::vector<std::string>& sessionGroups,
                             const std::vector<std::string>& memberGroups) {
    const std::string head = "Нет доступа к порту " + port + ". ";
    if (group.empty() || group == "root")
        return cp(head + "Порт принадлежит root: проверьте права устройства или правило udev.");
    if (contains(sessionGroups, group))
        return cp(head + "Вы в группе " + group +
                  ", но порт не открывается: его, возможно, занимает другая программа. "
                  "Закройте её и подключитесь снова.");
    if (contains(memberGroups, group))
        return cp(head + "Пользователь " + user + " уже добавлен в группу " + group +
                  ", но это начнёт действовать только после нового входа в систему: выйдите из "
                  "системы и войдите снова (или перезагрузите компьютер).");
    return cp(head + "Добавьте пользователя " + user + " в группу " + group +
              " командой в терминале:\n    sudo usermod -a -G " + group + " " + user +
              "\nзатем выйдите из системы и войдите снова (или перезагрузите компьютер).");
}

std::string PortAccessAdvice(const std::string& port) {
#ifdef __linux__
    std::string user;
    if (const passwd* pw = getpwuid(getuid())) user = pw->pw_name;
    if (user.empty())
        if (const char* env = std::getenv("USER")) user = env;
    std::string owner;
    std::error_code ec;
    const std::string device = std::filesystem::canonical(port, ec).string();
    struct stat st {};
    if (!ec && stat(device.c_str(), &st) == 0)
        if (const struct group* g = getgrgid(st.st_gid)) owner = g->gr_name;
    std::vector<std::string> session;
    std::vector<gid_t> ids(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)) + 1);
    const int n = getgroups(static_cast<int>(ids.size()), ids.data());
    for (int i = 0; i < n; ++i)
        if (const struct group* g = getgrgid(ids[static_cast<std::size_t>(i)]))
            session.emplace_back(g->gr_name);
    if (const struct group* g = getgrgid(getgid())) session.emplace_back(g->gr_name);
    std::vector<std::string> members;
    if (const struct group* g = owner.empty() ? nullptr : getgrnam(owner.c_str()))
        for (char** m = g->gr_mem; m != nullptr && *m != nullptr; ++m)
            if (user == *m) members.push_back(owner);
    return PortAccessAdvice(port, user, owner, session, members);
#else
    return cp("Нет доступа к порту " + port +
              ". Закройте другие программы, которые могут его занимать, и подключитесь снова.");
#endif
}

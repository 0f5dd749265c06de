#pragma once

#include <string>
#include <vector>

// Why a serial port could not be opened for lack of rights, and what to do
// (Windows-1251). `group` owns the device (dialout on Debian, uucp elsewhere);
// `sessionGroups` are the groups this process runs with, `memberGroups` those
// the user is listed in now (a user just added must log in again).
std::string PortAccessAdvice(const std::string& port, const std::string& user,
                             const std::string& group,
                             const std::vector<std::string>& sessionGroups,
                             const std::vector<std::string>& memberGroups);

// The same with what this system says about the port and the user (Linux);
// a plain message elsewhere.
std::string PortAccessAdvice(const std::string& port);

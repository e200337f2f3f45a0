#pragma once
// Which client addresses count as one, for the limit of connections and for the handler's limits.

#include <string>

namespace ovserver {

// The addresses that share one limit of connections: an IPv4 address alone; an IPv6 address with
// every other address of its /64 network, which one subscriber usually holds whole ("2001:db8::/64").
std::string addressGroup(const std::string &address);

} // namespace ovserver

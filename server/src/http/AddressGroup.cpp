#include "http/AddressGroup.h"

#include <boost/asio/ip/address.hpp>

#include <algorithm>

namespace ovserver {

std::string addressGroup(const std::string &address)
{
    boost::system::error_code error;
    const auto ip = boost::asio::ip::make_address(address, error);
    if (error || !ip.is_v6())
        return address;
    auto bytes = ip.to_v6().to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return boost::asio::ip::address_v6(bytes).to_string() + "/64";
}

} // namespace ovserver

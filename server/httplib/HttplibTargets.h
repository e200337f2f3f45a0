#pragma once
// The tests' and the load test's httplib clients send request targets exactly as written. The
// switch is set_url_encode up to cpp-httplib 0.42 and set_path_encode from 0.43 on.

namespace ovhttp {

template <typename Client> void sendTargetsAsWritten(Client &client)
{
    if constexpr (requires { client.set_path_encode(false); })
        client.set_path_encode(false);
    else
        client.set_url_encode(false);
}

} // namespace ovhttp

#!/usr/bin/env python3
"""Attacks on the operator's side of the server from 127.0.0.2: the metrics listener and anything
that looks like an admin path, on loopback only, bounded in count and time (about 30 s).

    tests/server/attack_operator.py [--server build/server/ovcommunity-server]

Prints what each attack got and exits 1 when the public port served metrics or changed anything."""
import argparse, os, resource, socket, subprocess, sys, tempfile, time

CLIENT = "127.0.0.2"
METRIC = b"ovcommunity_requests_total"


def connect(port, host="127.0.0.1", timeout=3.0):
    s = socket.socket()
    s.settimeout(timeout)
    s.bind((CLIENT, 0))
    s.connect((host, port))
    return s


def exchange(port, raw, timeout=3.0):
    """The reply's bytes to one raw request ('' when the connection was closed or refused)."""
    try:
        s = connect(port, timeout=timeout)
        s.sendall(raw)
        reply = b""
        while True:
            part = s.recv(65536)
            if not part:
                break
            reply += part
            if b"\r\n\r\n" in reply and b"Connection: close" not in raw:
                head, _, body = reply.partition(b"\r\n\r\n")
                length = [int(l.split(b":")[1]) for l in head.split(b"\r\n") if l.lower().startswith(b"content-length")]
                if length and len(body) >= length[0]:
                    break
        s.close()
        return reply
    except OSError as error:
        return ("error " + str(error)).encode()


def get(port, target, method="GET", extra=b""):
    return exchange(port, method.encode() + b" " + target.encode() + b" HTTP/1.1\r\nHost: x\r\n" + extra
                    + b"Connection: close\r\n\r\n")


def status(reply):
    return reply.split(b"\r\n", 1)[0].decode(errors="replace")


def memory_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(l.split()[1]) for l in f if l.startswith("VmRSS"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", default="build/server/ovcommunity-server")
    args = parser.parse_args()
    resource.setrlimit(resource.RLIMIT_NOFILE, (4096, 4096))
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        db = os.path.join(folder, "community.sqlite")
        server = subprocess.Popen([args.server, "--port", "0", "--db", db, "--metrics-listen", "127.0.0.1:0"],
                                  stdout=subprocess.PIPE, stderr=open(os.path.join(folder, "log"), "w"), text=True)
        try:
            port = int(server.stdout.readline().rsplit(":", 1)[1])
            metrics = int(server.stdout.readline().rsplit(":", 1)[1])
            pin = get(port, "/checkuserexists.php?userName=ann&emailAddr=a@example.org").split(b"PIN code is ")[1][:6]
            print("start: memory", memory_kb(server.pid), "kB")

            # 1. The public port, asked for the metrics every way a path can be spelt.
            targets = ["/metrics", "/metrics/", "/METRICS", "/%6detrics", "/community/lib/metrics",
                       "/library/../metrics", "//metrics", "/metrics?x=1", "/metrics%00", "http://127.0.0.1/metrics",
                       "/metrics;", "/./metrics", "/metrics#"]
            served = [(t, status(get(port, t, m))) for t in targets for m in ("GET", "HEAD", "POST")
                      if METRIC in get(port, t, m)]
            print(f"public port, {len(targets) * 3} spellings of /metrics: served the metrics {len(served)} times",
                  served[:3])
            failures += ["public port served metrics"] if served else []

            # 2. Admin-looking paths on the public port: nothing is hidden or disabled.
            upload = (b"--b\r\nContent-Disposition: form-data; name=\"pinCode\"\r\n\r\n" + pin + b"\r\n--b\r\n"
                      b"Content-Disposition: form-data; name=\"userfile\"; filename=\"f\"\r\n\r\n"
                      b"<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>ControlSurfaceParameterOrder</key>"
                      b"<array><string>1 A</string></array></dict></plist>\r\n--b--\r\n")
            exchange(port, b"POST /ov_upload.php?user=ann&hardware=12&plugin=Synth&comments=c HTTP/1.1\r\nHost: x\r\n"
                     b"Content-Type: multipart/form-data; boundary=b\r\nConnection: close\r\nContent-Length: "
                     + str(len(upload)).encode() + b"\r\n\r\n" + upload)
            admin = ["/admin", "/admin/hide?id=1", "/admin.php?hide=1", "/ov_admin.php?hide=1", "/hide?id=1",
                     "/admin/disable-user?name=ann", "/disable-user?name=ann", "/admin%20--db%20x%20hide%201",
                     "/library/admin", "/files/1/../../admin"]
            answers = sorted({status(get(port, t, m)) for t in admin for m in ("GET", "POST")})
            listed = get(port, "/ov_listplists.php?plugin=Synth")
            signed = get(port, "/checkuser.php?userName=ann&pinCode=" + pin.decode()).endswith(b"\nOK\n")
            print(f"public port, {len(admin) * 2} admin-looking requests: answered {answers}; afterwards the mapping "
                  f"is {'listed' if b'patchID' in listed else 'GONE'} and ann {'signs in' if signed else 'CANNOT sign in'}")
            failures += ["an admin path changed something"] if b"patchID" not in listed or not signed else []

            # 3. The metrics listener from 127.0.0.2: other paths and methods, oversized and slow requests.
            odd = [get(metrics, "/"), get(metrics, "/ov_listplists.php?plugin=Synth"), get(metrics, "/metrics", "POST"),
                   get(metrics, "/metrics", "DELETE"), get(metrics, "/metrics/../checkuser.php?userName=ann&pinCode=1"),
                   get(metrics, "/metrics", extra=b"X: " + b"a" * 20000 + b"\r\n"),
                   exchange(metrics, b"GET /metrics HTTP/1.1\r\n" + b"X: y\r\n" * 200 + b"\r\n")]
            print("metrics listener, odd requests:", [status(r) for r in odd])
            failures += ["metrics listener served something else"] if any(b"patchID" in r or b"\nOK\n" in r for r in odd) else []

            held = []
            for _ in range(200):
                try:
                    held.append(connect(metrics))
                except OSError:
                    break
            time.sleep(0.5)
            alive = 0
            for s in held:
                try:
                    s.settimeout(0.05)
                    alive += s.recv(1) != b""
                except socket.timeout:
                    alive += 1
                except OSError:
                    pass
            print(f"metrics listener, 200 connections from one address: {alive} held open, the rest closed")
            scrape_during = status(get(port, "/ov_listplists.php?plugin=Synth"))
            for s in held:
                s.close()

            start, count = time.monotonic(), 0
            while time.monotonic() - start < 5 and count < 3000:
                count += METRIC in get(metrics, "/metrics")
            took = time.monotonic() - start
            print(f"metrics listener, scrapes one after another: {count} in {took:.1f} s; public list meanwhile "
                  f"{scrape_during}; memory {memory_kb(server.pid)} kB")

            trickle = connect(metrics, timeout=15)
            started = time.monotonic()
            try:
                for byte in b"GET /metrics HTTP/1.1\r\nHost: x\r\n":
                    trickle.send(bytes([byte]))
                    time.sleep(0.5)
                cut = "never"
            except OSError:
                cut = f"after {time.monotonic() - started:.1f} s"
            print("metrics listener, a request sent a byte every 0.5 s: cut", cut)

            # 4. The metrics listener is bound to 127.0.0.1 alone: 127.0.0.2 as the address is refused.
            try:
                connect(metrics, host=CLIENT).close()
                print("metrics port on 127.0.0.2: ACCEPTED")
                failures.append("metrics listener reachable on another address")
            except OSError as error:
                print("metrics port on 127.0.0.2:", error.strerror)

            final = get(metrics, "/metrics")
            print("afterwards: a scrape", status(final), "; memory", memory_kb(server.pid), "kB; server",
                  "running" if server.poll() is None else f"EXITED {server.returncode}")
            failures += ["server stopped"] if server.poll() is not None else []
        finally:
            server.terminate()
            server.wait(timeout=10)
    print("FAILED: " + "; ".join(failures) if failures else "held")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The demo operator site of the Harrowmere client, on loopback only.

Serves the start page (/diy/zelk/client), the three operator pages and a "game server" page
whose address carries "type=3". It stops by itself after --lifetime seconds, or as soon as the
process given with --watch-pid has ended.
"""
import argparse
import http.server
import os
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PAGES = os.path.join(HERE, "pages")

ROUTES = {
    "/diy/zelk/client": "start.html",
    "/url-zelk-www.html": "www.html",
    "/url-zelk-kf.html": "kf.html",
    "/url-zelk-pay.html": "pay.html",
    "/game/server": "server.html",
    "/favicon.ico": None,
}


class Handler(http.server.BaseHTTPRequestHandler):
    server_version = "HarrowmereDemo/1.0"

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        name = ROUTES.get(path)
        if name is None:
            self.send_error(404)
            return
        with open(os.path.join(PAGES, name), "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, fmt, *args):
        if not self.server.quiet:
            sys.stderr.write("demo-site: %s\n" % (fmt % args))


def alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--port", type=int, default=18765)
    ap.add_argument("--lifetime", type=float, default=3600, help="seconds before it stops")
    ap.add_argument("--watch-pid", type=int, default=0, help="stop when this process ends")
    ap.add_argument("--quiet", action="store_true")
    args = ap.parse_args()

    httpd = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    httpd.quiet = args.quiet
    deadline = time.monotonic() + args.lifetime

    def watchdog():
        while time.monotonic() < deadline and (not args.watch_pid or alive(args.watch_pid)):
            time.sleep(0.5)
        httpd.shutdown()

    threading.Thread(target=watchdog, daemon=True).start()
    print("demo-site: serving http://127.0.0.1:%d/diy/zelk/client" % args.port, file=sys.stderr)
    httpd.serve_forever(poll_interval=0.5)
    httpd.server_close()


if __name__ == "__main__":
    main()

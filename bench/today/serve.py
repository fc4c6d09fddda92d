#!/usr/bin/env python3
"""Serves the pages of this folder under /p/ on 127.0.0.1 and answers every other address as a
picture whose type its name's extension gives (any other name is a JPEG picture) and whose body
names the address ("picture /path?query"); an address holding "//" or "/missing/" gets 404. HOST in a page stands for the server's own host:port.
Prints the port on its first line, then serves until killed."""
import http.server
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TYPES = {".jpg": "image/jpeg", ".jpeg": "image/jpeg", ".png": "image/png", ".gif": "image/gif",
         ".webp": "image/webp", ".svg": "image/svg+xml", ".avif": "image/avif"}
SVG = '<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"><title>{}</title></svg>'


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        host = self.headers.get("Host", "")
        if path.startswith("/p/"):
            name = os.path.basename(path)
            try:
                with open(os.path.join(HERE, name), encoding="utf-8") as f:
                    body = f.read().replace("HOST", host).encode("utf-8")
            except OSError:
                return self.send_error(404)
            return self.answer(body, "text/html; charset=utf-8")
        # The request line as sent: the server collapses a path's leading slashes itself.
        sent = self.requestline.split(" ")[1] if " " in self.requestline else self.path
        if "//" in sent or "/missing/" in path:
            return self.send_error(404)
        # A picture server: a script's name (thumb.php) answers with a picture too.
        kind = TYPES.get(os.path.splitext(path)[1].lower(), "image/jpeg")
        # Every body names its address, so a stored file tells which picture it is.
        name = "picture " + self.path
        self.answer((SVG.format(name) if kind == "image/svg+xml" else name + "\n").encode(), kind)

    def answer(self, body, kind):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()

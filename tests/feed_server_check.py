#!/usr/bin/env python3
"""Checks tools/feed-server end to end: started on a free port with its
shipped folder, it serves the advert schedule and the promotion feed as
property lists of the shapes the game reads, an Apex banner with a link,
Meridian answers in turn (image, text, no advert) whose image leads back
to it, and nothing outside its folder.

Usage: feed_server_check.py PATH/TO/tools/feed-server
"""

import http.client
import plistlib
import struct
import subprocess
import sys
import urllib.error
import urllib.request
import xml.etree.ElementTree as ET

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL: " + what)


def get(url, headers=None):
    request = urllib.request.Request(url, headers=headers or {})
    try:
        with urllib.request.urlopen(request, timeout=10) as r:
            return r.status, dict(r.headers), r.read()
    except urllib.error.HTTPError as e:
        return e.code, dict(e.headers), e.read()


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


def raw_status(base, path):
    """The status for a request line sent as it is (no client clean-up)."""
    host, port = base[len("http://"):].split(":")
    conn = http.client.HTTPConnection(host, int(port), timeout=10)
    conn.putrequest("GET", path, skip_accept_encoding=True)
    conn.endheaders()
    status = conn.getresponse().status
    conn.close()
    return status


def check_feeds(base):
    status, _, body = get(base + "/adDone.plist")
    check(status == 200, "adDone.plist is served")
    schedule = plistlib.loads(body)["Dict"]["adString"]
    check(schedule and all(e in ("a", "m") for e in schedule), "the schedule holds only 'a' and 'm'")
    check(isinstance(plistlib.loads(body)["Dict"]["isiAdAllowed"], int), "isiAdAllowed is an integer")

    status, _, body = get(base + "/QBPromo.plist")
    check(status == 200, "QBPromo.plist is served")
    promo = plistlib.loads(body)
    check(isinstance(promo, dict) and promo, "the promotion feed is a dictionary of entries")
    for name, entry in promo.items():
        for key, kind in (("title", str), ("description", str), ("link", str), ("urgent", bool)):
            check(isinstance(entry.get(key), kind), "promotion entry %s has a %s %s" % (name, kind.__name__, key))
    check(sum(1 for e in promo.values() if e.get("urgent")) >= 1, "at least one promotion entry is urgent")


def check_apex(base):
    status, headers, body = get(base + "/banner?unit=a15b00c6e8f1a42", {"X-Apex-Test-Devices": "Simulator"})
    check(status == 200, "/banner answers 200")
    check(headers.get("Content-Type") == "image/png", "/banner is a PNG")
    check(png_size(body) == (320, 50), "the phone banner is 320 x 50")
    click = headers.get("X-Click-URL", "")
    check(click.startswith(base + "/"), "X-Click-URL leads back to the server (%r)" % click)
    status, _, _ = get(click)
    check(status == 200, "the click link's page is served")
    _, _, body = get(base + "/banner?unit=a15b00c7d2e9f31")
    check(png_size(body) == (728, 90), "the tablet unit gets a 728 x 90 banner")
    _, _, body = get(base + "/banner?unit=../adDone")
    check(png_size(body) == (320, 50), "a unit that is not a plain name gets the default banner")


def meridian(base, rt="iphone_app"):
    status, headers, body = get(base + "/request.php?rt=%s&s=publisher&spot_id=" % rt, {"Accept": "text/xml"})
    check(status == 200, "/request.php answers 200")
    check(headers.get("Content-Type", "").startswith("text/xml"), "/request.php answers text/xml")
    return ET.fromstring(body)


def check_meridian(base):
    kinds = [meridian(base) for _ in range(3)]
    check([k.get("type") for k in kinds] == ["imageAd", "textAd", "noAd"],
          "Meridian answers rotate image, text, no advert")
    image, text, _ = kinds
    for answer in (image, text):
        for child in ("clicktype", "clickurl", "bannerwidth", "bannerheight", "refresh"):
            check(answer.find(child) is not None, "%s has %s" % (answer.get("type"), child))
        check(int(answer.findtext("refresh")) > 0, "%s names a refresh" % answer.get("type"))
    check(image.findtext("imageurl").startswith(base + "/"), "the image URL leads back to the server")
    status, _, body = get(image.findtext("imageurl"))
    size = (int(float(image.findtext("bannerwidth"))), int(float(image.findtext("bannerheight"))))
    check(status == 200 and png_size(body) == size, "the Meridian image is served at the advert's size")
    check("<b>" in text.findtext("htmlString"), "the text advert carries markup")
    check(text.findtext("clicktype") == "inapp", "the text advert opens in the game's browser")

    tablet = meridian(base, "ipad_app")
    check(tablet.get("type") == "imageAd", "the rotation starts again with an image")
    _, _, body = get(tablet.findtext("imageurl"))
    check(png_size(body) == (728, 90), "a tablet gets the 728 x 90 Meridian image")


def check_folder_bounds(base):
    for path in ("/../tests/feed_server_check.py", "/%2e%2e/feed-server", "/..%2f..%2fetc%2fpasswd", "/nothing-here"):
        check(raw_status(base, path) == 404, "%s is not served" % path)


def main():
    server = subprocess.Popen([sys.executable, sys.argv[1], "--port", "0"], stdout=subprocess.PIPE, text=True)
    try:
        base = server.stdout.readline().strip()
        if not base.startswith("http://127.0.0.1:"):
            print("FAIL: the server did not print its URL (got %r)" % base)
            return 1
        check_feeds(base)
        check_apex(base)
        check_meridian(base)
        check_folder_bounds(base)
    finally:
        server.terminate()
        server.wait(timeout=10)
    print("%d failure(s)" % len(failures) if failures else "feed-server: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Writes the phone request fuzzer's seeds: requests as Chromium and Firefox on
Android send them to the phone view (the page with its token, its script and
style, the event stream with the cookie, a reconnect), and a few a hostile page
or a broken client would send."""
import os

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "phone_request")
host = "127.0.0.1:8080"
token = "00112233445566778899aabbccddeeff"  # pairs a phone
session = "ffeeddccbbaa99887766554433221100"  # a paired phone's cookie
chrome_ua = ("Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) "
             "Chrome/120.0.0.0 Mobile Safari/537.36")
firefox_ua = "Mozilla/5.0 (Android 14; Mobile; rv:121.0) Gecko/121.0 Firefox/121.0"


def request(lines):
    return ("\r\n".join(lines) + "\r\n\r\n").encode()


seeds = {
    "chromium_page_token": request([
        f"GET /?t={token} HTTP/1.1", f"Host: {host}", "Connection: keep-alive", "Upgrade-Insecure-Requests: 1",
        f"User-Agent: {chrome_ua}",
        "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,image/webp,image/apng,*/*;q=0.8,"
        "application/signed-exchange;v=b3;q=0.7",
        "Accept-Encoding: gzip, deflate", "Accept-Language: de-DE,de;q=0.9,en-US;q=0.8,en;q=0.7"]),
    "chromium_page_cookie": request([
        "GET / HTTP/1.1", f"Host: {host}", "Connection: keep-alive", "Cache-Control: max-age=0",
        "Upgrade-Insecure-Requests: 1", f"User-Agent: {chrome_ua}",
        "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8",
        "Accept-Encoding: gzip, deflate", "Accept-Language: de-DE,de;q=0.9", f"Cookie: qv={session}"]),
    "chromium_script": request([
        "GET /app.js HTTP/1.1", f"Host: {host}", "Connection: keep-alive", f"User-Agent: {chrome_ua}",
        "Accept: */*", "Accept-Encoding: gzip, deflate", "Accept-Language: de-DE,de;q=0.9", f"Cookie: qv={session}"]),
    "chromium_events": request([
        "GET /events HTTP/1.1", f"Host: {host}", "Connection: keep-alive", "Accept: text/event-stream",
        "Cache-Control: no-cache", f"User-Agent: {chrome_ua}", "Accept-Encoding: gzip, deflate",
        "Accept-Language: de-DE,de;q=0.9,en-US;q=0.8,en;q=0.7", f"Cookie: qv={session}"]),
    "chromium_head_probe": request([
        "HEAD /app.css HTTP/1.1", f"Host: {host}", "Connection: keep-alive", f"User-Agent: {chrome_ua}",
        "Accept: */*", f"Origin: http://{host}", f"Cookie: qv={session}"]),
    "firefox_page": request([
        f"GET /?t={token} HTTP/1.1", f"Host: {host}", f"User-Agent: {firefox_ua}",
        "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8",
        "Accept-Language: en-US,en;q=0.5", "Accept-Encoding: gzip, deflate", "Connection: keep-alive",
        "Upgrade-Insecure-Requests: 1", "Sec-Fetch-Dest: document", "Sec-Fetch-Mode: navigate",
        "Sec-Fetch-Site: none", "Sec-Fetch-User: ?1"]),
    "firefox_style": request([
        "GET /app.css HTTP/1.1", f"Host: {host}", f"User-Agent: {firefox_ua}", "Accept: text/css,*/*;q=0.1",
        "Accept-Language: en-US,en;q=0.5", "Accept-Encoding: gzip, deflate", "Connection: keep-alive",
        f"Cookie: qv={session}", "Sec-Fetch-Dest: style", "Sec-Fetch-Mode: no-cors", "Sec-Fetch-Site: same-origin"]),
    "firefox_events": request([
        "GET /events HTTP/1.1", f"Host: {host}", f"User-Agent: {firefox_ua}", "Accept: text/event-stream",
        "Accept-Language: en-US,en;q=0.5", "Accept-Encoding: gzip, deflate", "Connection: keep-alive",
        "Cache-Control: no-cache", "Pragma: no-cache", f"Cookie: qv={session}", "Sec-Fetch-Dest: empty",
        "Sec-Fetch-Mode: cors", "Sec-Fetch-Site: same-origin"]),
    "rebinding_page": request([
        "GET /events HTTP/1.1", "Host: rebind.example:8080", f"User-Agent: {firefox_ua}",
        "Origin: http://rebind.example:8080", "Accept: text/event-stream"]),
    "post_with_body": request([
        "POST /events HTTP/1.1", f"Host: {host}", "Content-Type: text/plain", "Content-Length: 4",
        f"Cookie: qv={session}"]) + b"stop",
    "lf_only_http10": b"GET /app.js HTTP/1.0\nCookie: qv=" + session.encode() + b"\n\n",
}

os.makedirs(here, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)

#!/usr/bin/env python3
"""Checks the help manual against the program.

- Every help topic number the code opens has a page Help/topic-<n>.html.
  Topic numbers are found in the sources as literals given to ShowHelp() or
  assigned to a help topic, as constants whose name says Topic, and as
  constants handed to ShowHelp() or assigned to a help topic.
- Every page is well-formed HTML (tags nest and close, one title, one h1).
- Every link and picture resolves: the file exists, and a #fragment names an
  id in the target page. Pictures carry alt text.
- The contents page (index.html) links every page, and its index section
  (index.html#index) links every topic page.

Usage: check_help.py --sources <source tree> --help-folder <Help folder>
Exit code 0 when everything holds; otherwise one line per problem.
"""

import argparse
import os
import re
import sys
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit

SOURCE_FOLDERS = ("app", "data", "editors", "reports", "services", "ui")
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
        "source", "track", "wbr"}

# name = number, in constexpr/const declarations and enumerations.
DEFINITION = re.compile(r"\b(k\w+)\s*=\s*(-?\d+)\s*[,;]")
TOPIC_CONSTANT = re.compile(r"\b(k\w*Topic\w*)\s*=\s*(\d+)\s*[,;]")
# Where a topic is used: the argument of ShowHelp(...), or what is assigned to
# a help topic (helpTopic = ..., topic = ...). A function returning topics is
# covered by the Topic-named constants it returns.
USE = re.compile(r"\bShowHelp\s*\(([^;{}]*?)\)\s*;|\b(?:[hH]elpTopic|topic)\s*=\s*([^;{}=][^;{}]*);")
TOKEN = re.compile(r"-?\b\d+\b|\b[A-Za-z_]\w*\b")


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", " ", text)


def topics_in_sources(root):
    """Returns {topic number: [where, ...]} for every topic the code opens."""
    files = {}
    for folder in SOURCE_FOLDERS:
        for base, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(base, name)
                    with open(path, encoding="utf-8", errors="replace") as f:
                        files[os.path.relpath(path, root)] = f.read()
    return topics_in_texts(files)


def topics_in_texts(files):
    """files: {relative path: source text}. See topics_in_sources."""
    files = {path: strip_comments(text) for path, text in files.items()}
    local = {path: {} for path in files}
    shared = {}  # constants of headers, usable from every file
    for path, text in files.items():
        for name, value in DEFINITION.findall(text):
            local[path].setdefault(name, int(value))
            if path.endswith(".h"):
                shared.setdefault(name, int(value))
    found = {}

    def add(topic, where):
        found.setdefault(topic, []).append(where)

    for path, text in files.items():
        for name, value in TOPIC_CONSTANT.findall(text):
            if "Menu" not in name:
                add(int(value), f"{path}: {name}")
        for call, assigned in USE.findall(text):
            expr = (call or assigned).strip()
            if re.fullmatch(r"-?\d+", expr):  # ShowHelp(0), ShowHelp(-1), ShowHelp(460)
                add(int(expr), f"{path}: {expr}")
                continue
            # An expression such as mode == 1 ? kBackupTopic : 340: its
            # constants and its numbers that can be topics (small ones are
            # modes and counts).
            for token in TOKEN.findall(expr):
                if re.fullmatch(r"-?\d+", token):
                    value = int(token)
                elif token in local[path]:
                    value = local[path][token]
                elif token in shared:
                    value = shared[token]
                else:
                    continue
                if value >= 10:
                    add(value, f"{path}: {token}")
    return found


def page_for_topic(topic):
    if topic == 0:
        return "index.html"
    if topic == -1:
        return "index.html#index"
    return f"topic-{topic}.html"


class PageParser(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack = []
        self.problems = []
        self.links = []  # (kind, target, line)
        self.ids = set()
        self.counts = {}
        self.doctype = False
        self.index_links = []  # links inside the element with id "index" and after it
        self.in_index = False

    def where(self):
        return f"line {self.getpos()[0]}"

    def handle_decl(self, decl):
        if decl.lower() == "doctype html":
            self.doctype = True

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.counts[tag] = self.counts.get(tag, 0) + 1
        if "id" in a:
            if a["id"] in self.ids:
                self.problems.append(f"{self.where()}: id \"{a['id']}\" used twice")
            self.ids.add(a["id"])
            if a["id"] == "index":
                self.in_index = True
        if "name" in a and tag == "a":
            self.ids.add(a["name"])
        if tag == "a" and "href" in a:
            self.links.append(("link", a["href"], self.where()))
            if self.in_index:
                self.index_links.append(a["href"])
        if tag == "link" and "href" in a:
            self.links.append(("stylesheet", a["href"], self.where()))
        if tag == "img":
            if "src" not in a:
                self.problems.append(f"{self.where()}: picture without src")
            else:
                self.links.append(("picture", a["src"], self.where()))
            if "alt" not in a:
                self.problems.append(f"{self.where()}: picture without alt text")
        if tag not in VOID:
            self.stack.append((tag, self.where()))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.stack.pop()

    def handle_endtag(self, tag):
        if tag in VOID:
            self.problems.append(f"{self.where()}: end tag </{tag}> of an empty element")
            return
        if not self.stack:
            self.problems.append(f"{self.where()}: </{tag}> closes nothing")
            return
        open_tag, opened = self.stack[-1]
        if open_tag != tag:
            depth = [i for i, (t, _) in enumerate(self.stack) if t == tag]
            if not depth:
                self.problems.append(
                    f"{self.where()}: </{tag}> closes <{open_tag}> opened at {opened}")
                return
            # Recover at the matching element; what lies above it was left open.
            for t, at in self.stack[depth[-1] + 1:]:
                self.problems.append(f"<{t}> opened at {at} is never closed before </{tag}>")
            del self.stack[depth[-1]:]
            return
        self.stack.pop()

    def finish(self):
        self.close()
        for tag, opened in self.stack:
            self.problems.append(f"<{tag}> opened at {opened} is never closed")
        if not self.doctype:
            self.problems.append("no <!DOCTYPE html>")
        for tag in ("html", "head", "title", "body", "h1"):
            if self.counts.get(tag, 0) != 1:
                self.problems.append(f"{self.counts.get(tag, 0)} <{tag}> elements (one expected)")


def parse_page(path):
    parser = PageParser()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    parser.finish()
    return parser


def check_help_folder(help_dir):
    """Returns (problems, parsed pages by file name)."""
    problems = []
    pages = {}
    for name in sorted(os.listdir(help_dir)):
        if name.endswith(".html"):
            try:
                pages[name] = parse_page(os.path.join(help_dir, name))
            except UnicodeDecodeError:
                problems.append(f"{name}: not UTF-8")
    for name, page in pages.items():
        problems += [f"{name}: {p}" for p in page.problems]
        for kind, target, line in page.links:
            parts = urlsplit(target)
            if parts.scheme in ("http", "https", "mailto"):
                continue
            if parts.scheme or parts.netloc:
                problems.append(f"{name} {line}: {kind} {target} leaves the manual")
                continue
            file_part = unquote(parts.path) or name
            path = os.path.normpath(os.path.join(help_dir, file_part))
            # The help folder and its siblings (Images/) ship together.
            resources = os.path.dirname(os.path.normpath(help_dir))
            if not path.startswith(resources + os.sep):
                problems.append(f"{name} {line}: {kind} {target} points outside the program's files")
            elif not os.path.isfile(path):
                problems.append(f"{name} {line}: {kind} {target} does not exist")
            elif parts.fragment:
                target_page = pages.get(os.path.relpath(path, help_dir))
                if target_page is None or parts.fragment not in target_page.ids:
                    problems.append(f"{name} {line}: {kind} {target}: no such anchor")
    contents = pages.get("index.html")
    if contents is None:
        problems.append("index.html (contents and index) is missing")
    else:
        linked = {urlsplit(t).path for _, t, _ in contents.links}
        index_linked = {urlsplit(t).path for t in contents.index_links}
        for name in pages:
            if name != "index.html" and name not in linked:
                problems.append(f"index.html: the contents do not link {name}")
            if name.startswith("topic-") and name not in index_linked:
                problems.append(f"index.html#index: the index does not link {name}")
    return problems, pages


def check(sources, help_dir):
    problems, _ = check_help_folder(help_dir)
    topics = topics_in_sources(sources)
    if 310 not in topics or len(topics) < 10:
        problems.append(f"only {len(topics)} help topics found in the sources: the scan is broken")
    for topic in sorted(topics):
        page = page_for_topic(topic).split("#")[0]
        if not os.path.isfile(os.path.join(help_dir, page)):
            problems.append(f"topic {topic} has no page {page} (used in {topics[topic][0]})")
    return problems, topics


def main():
    ap = argparse.ArgumentParser(add_help=False)
    ap.add_argument("--sources", required=True)
    ap.add_argument("--help-folder", dest="help_dir", required=True)
    args = ap.parse_args()
    problems, topics = check(args.sources, args.help_dir)
    for p in problems:
        print("FAIL", p)
    print(f"{len(topics)} topics in the code: {', '.join(str(t) for t in sorted(topics))}")
    print(f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

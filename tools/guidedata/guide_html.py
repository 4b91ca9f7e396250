#!/usr/bin/python3
"""Turns the user guide's Markdown into one HTML page for the installed documentation.

Usage: guide_html.py GUIDE.md OUTPUT.html

The page links its figures relatively (guide/...png), as the Markdown does, so
it reads the same from the package's documentation folder. The headings get
the anchors the repository page gives them, so the guide's own links work in both.
"""

import html
import re
import sys

import markdown

STYLE = """
body { font-family: "DejaVu Sans", "Segoe UI", Helvetica, Arial, sans-serif; color: #222; background: #fff;
       max-width: 920px; margin: 2em auto; padding: 0 1.2em; line-height: 1.5; }
h1, h2, h3 { line-height: 1.25; }
h1 { border-bottom: 3px solid #8a2be2; padding-bottom: 0.2em; }
h2 { border-bottom: 1px solid #ddd; padding-bottom: 0.15em; margin-top: 1.8em; }
img { max-width: 100%; height: auto; }
td img { min-width: 340px; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #ddd; padding: 0.35em 0.6em; vertical-align: top; text-align: left; }
th { background: #f3f0f8; }
code, pre { font-family: "DejaVu Sans Mono", Consolas, monospace; font-size: 0.92em; background: #f5f5f5; }
code { padding: 0.1em 0.3em; border-radius: 3px; }
pre { padding: 0.7em 1em; overflow-x: auto; border-radius: 4px; }
pre code { padding: 0; background: none; }
a { color: #6a1bb2; }
"""


def slug(value, separator):
    """The anchor a repository page gives a heading: lower case, punctuation dropped, blanks to '-'."""
    value = re.sub(r"[^\w\- ]", "", value.strip().lower())
    return value.replace(" ", separator)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: guide_html.py GUIDE.md OUTPUT.html\n")
        return 2
    with open(argv[1], encoding="utf-8") as f:
        text = f.read()
    title = next((line[2:].strip() for line in text.splitlines() if line.startswith("# ")), "User guide")
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"],
                             extension_configs={"toc": {"slugify": slug}}, output_format="html")
    page = ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
            % (html.escape(title), STYLE, body))
    with open(argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write(page)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Compiles the user guide (the pages of docs/guide) into Wisp.chm with chmcmd.

Usage: build_help.py GUIDE_FOLDER WORK_FOLDER OUTPUT.chm [CHMCMD]

The pages are copied into the work folder with a help project, a table of contents and an
index written here in the guide's reading order, so nothing is written into the sources.
"""
import html
import os
import shutil
import subprocess
import sys

TITLE = 'Wisp User Guide'
# Reading order: file and title of each topic.
TOPICS = [
    ('index.htm', 'Getting started'),
    ('collecting.htm', 'Collecting a page or a selection'),
    ('pasting.htm', 'Pasting and dropping'),
    ('organising.htm', 'Organising books'),
    ('building.htm', 'Building an eBook'),
]
EXTRA_FILES = ['guide.css']
# Index entries: keyword and the topic that explains it.
KEYWORDS = [
    ('Book Management', 'organising.htm'),
    ('book, new', 'index.htm'),
    ('building', 'building.htm'),
    ('chapter, new', 'organising.htm'),
    ('collecting', 'collecting.htm'),
    ('deleting', 'organising.htm'),
    ('dropping', 'pasting.htm'),
    ('editing a page', 'organising.htm'),
    ('library folder', 'index.htm'),
    ('pasting', 'pasting.htm'),
    ('renaming', 'organising.htm'),
    ('selection', 'collecting.htm'),
]


def entry(name, local):
    return ('<LI><OBJECT type="text/sitemap">'
            f'<param name="Name" value="{html.escape(name)}">'
            f'<param name="Local" value="{local}"></OBJECT>\n')


def sitemap(entries):
    return ('<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML><HEAD></HEAD><BODY>\n'
            '<OBJECT type="text/site properties"><param name="ImageType" value="Folder">'
            '</OBJECT>\n<UL>\n' + ''.join(entries) + '</UL>\n</BODY></HTML>\n')


def main():
    if len(sys.argv) not in (4, 5):
        raise SystemExit(__doc__)
    guide, work, output = sys.argv[1:4]
    chmcmd = sys.argv[4] if len(sys.argv) == 5 else 'chmcmd'
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    files = [name for name, _ in TOPICS] + EXTRA_FILES
    for name in files:
        shutil.copy(os.path.join(guide, name), work)
    with open(os.path.join(work, 'Wisp.hhp'), 'w', newline='\r\n') as f:
        f.write('[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=Wisp.chm\n'
                'Contents file=Contents.hhc\nIndex file=Index.hhk\n'
                f'Default topic={TOPICS[0][0]}\nDisplay compile progress=No\n'
                'Full-text search=Yes\nLanguage=0x409 English (United States)\n'
                f'Title={TITLE}\n\n[FILES]\n' + '\n'.join(files) + '\n')
    with open(os.path.join(work, 'Contents.hhc'), 'w', newline='\r\n') as f:
        f.write(sitemap(entry(title, name) for name, title in TOPICS))
    with open(os.path.join(work, 'Index.hhk'), 'w', newline='\r\n') as f:
        f.write(sitemap(entry(word, name) for word, name in KEYWORDS))
    run = subprocess.run([chmcmd, '--no-html-scan', 'Wisp.hhp'], cwd=work,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    built = os.path.join(work, 'Wisp.chm')
    if run.returncode != 0 or not os.path.isfile(built) or os.path.getsize(built) == 0:
        sys.stderr.write(run.stdout)
        raise SystemExit('chmcmd did not compile the guide')
    shutil.copy(built, output)


if __name__ == '__main__':
    main()

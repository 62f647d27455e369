#!/usr/bin/env python3
"""Cases for check_help.py: the topic scan and the page checks must catch
each fault they exist for, and pass a sound manual."""

import os
import sys

sys.dont_write_bytecode = True
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_help  # noqa: E402

HEAD = ('<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8"><title>{t}</title>'
        '<link rel="stylesheet" href="style.css"></head><body><h1>{t}</h1>')
TAIL = '</body></html>'


def page(title, body):
    return HEAD.format(t=title) + body + TAIL


SOUND_INDEX = page('Help', '<p><a href="topic-310.html">Main</a></p>'
                   '<h2 id="index">Index</h2><ul><li><a href="topic-310.html">Main</a></li></ul>')
SOUND_TOPIC = page('Main', '<p><img src="images/a.png" alt="The window"> '
                   '<a href="index.html#index">Index</a></p>')


class TopicScan(unittest.TestCase):
    CASES = [
        # (sources, topics expected, topics that must not be found)
        ({'a.cpp': 'constexpr int kHelpTopic = 210;'}, {210}, set()),
        ({'a.cpp': 'constexpr int kHelpMain = 310;\nvoid f(){ ShowHelp(kHelpMain); }'}, {310}, set()),
        ({'a.cpp': 'void f(){ ShowHelp(460); ShowHelp(0); ShowHelp(-1); }'}, {460, 0, -1}, set()),
        ({'a.cpp': 'void f(){ Shell().helpTopic = 520; }'}, {520}, set()),
        ({'h.h': 'inline constexpr int kTopicUpdateAiring = 90;'}, {90}, set()),
        # A constant of a header used from another file.
        ({'h.h': 'inline constexpr int kPrintHelp = 430;', 'a.cpp': 'void f(){ ShowHelp(kPrintHelp); }'},
         {430}, set()),
        # A menu id that mentions topics, a button id named Help, commented-out code.
        ({'a.h': 'inline constexpr int kVlMenuHelpTopics = 9305;\ninline constexpr int kSlHelp = 125;',
          'a.cpp': '// ShowHelp(777);\n/* constexpr int kOldTopic = 778; */'}, set(), {9305, 125, 777, 778}),
        # Topics chosen by an expression; the mode numbers are not topics.
        ({'a.cpp': 'constexpr int kRestoreTopic = 340;\n'
                   'void f(int mode){ ShowHelp(mode == 1 ? 110 : kRestoreTopic); }'}, {110, 340}, {1}),
        ({'a.cpp': 'void f(bool r){ Shell().helpTopic = r ? 340 : 110; }'}, {110, 340}, set()),
        # The same name with different values in two files: each file's own.
        ({'a.cpp': 'constexpr int kHelp = 155;\nvoid f(){ ShowHelp(kHelp); }',
          'b.cpp': 'constexpr int kHelp = 120;'}, {155}, {120}),
    ]

    def test_cases(self):
        for sources, expected, absent in self.CASES:
            with self.subTest(sources=sources):
                found = set(check_help.topics_in_texts(sources))
                self.assertTrue(expected <= found, f'{expected} not all in {found}')
                self.assertFalse(absent & found, f'{absent & found} found')

    def test_the_real_sources(self):
        root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
        found = check_help.topics_in_sources(root)
        for topic in (90, 200, 210, 220, 310, 430, 460, 490):
            self.assertIn(topic, found)


class PageChecks(unittest.TestCase):
    def run_folder(self, files):
        with tempfile.TemporaryDirectory() as d:
            help_dir = os.path.join(d, 'Help')
            os.makedirs(os.path.join(help_dir, 'images'))
            os.makedirs(os.path.join(d, 'Images'))
            open(os.path.join(help_dir, 'images', 'a.png'), 'wb').close()
            open(os.path.join(d, 'Images', 'new.png'), 'wb').close()
            open(os.path.join(help_dir, 'style.css'), 'w').close()
            for name, text in files.items():
                with open(os.path.join(help_dir, name), 'w', encoding='utf-8') as f:
                    f.write(text)
            problems, _ = check_help.check_help_folder(help_dir)
            return problems

    def test_a_sound_manual_passes(self):
        self.assertEqual(self.run_folder({'index.html': SOUND_INDEX, 'topic-310.html': SOUND_TOPIC}), [])

    def test_faults_are_found(self):
        cases = [
            ('unclosed element', page('Main', '<p><b>bold</p>'), '<b> opened at line 2 is never closed'),
            ('never closed', page('Main', '<div><p>x</p>'), 'never closed'),
            ('stray end tag', page('Main', '<p>x</p></li>'), 'closes'),
            ('missing page', page('Main', '<p><a href="topic-999.html">x</a></p>'), 'does not exist'),
            ('missing picture', page('Main', '<p><img src="images/b.png" alt="x"></p>'), 'does not exist'),
            ('picture without alt', page('Main', '<p><img src="images/a.png"></p>'), 'alt'),
            ('missing anchor', page('Main', '<p><a href="index.html#nowhere">x</a></p>'), 'no such anchor'),
            ('outside the files', page('Main', '<p><a href="../../etc/passwd">x</a></p>'), 'outside'),
            ('two titles', page('Main', '<h1>Again</h1>'), '2 <h1>'),
            ('no doctype', page('Main', '').replace('<!DOCTYPE html>', ''), 'DOCTYPE'),
            ('file link', page('Main', '<p><a href="file:///etc/hosts">x</a></p>'), 'leaves'),
        ]
        for what, text, expected in cases:
            with self.subTest(what):
                problems = self.run_folder({'index.html': SOUND_INDEX, 'topic-310.html': text})
                self.assertTrue(any(expected in p for p in problems), problems)

    def test_sibling_images_folder_resolves(self):
        text = page('Main', '<p><img src="../Images/new.png" alt=""></p>')
        self.assertEqual(self.run_folder({'index.html': SOUND_INDEX, 'topic-310.html': text}), [])

    def test_contents_and_index_link_every_page(self):
        problems = self.run_folder({'index.html': SOUND_INDEX, 'topic-310.html': SOUND_TOPIC,
                                    'topic-200.html': page('Stations', '<p>x</p>')})
        self.assertTrue(any('contents do not link topic-200.html' in p for p in problems), problems)
        self.assertTrue(any('index does not link topic-200.html' in p for p in problems), problems)


if __name__ == '__main__':
    unittest.main()

#!/usr/bin/env python3
"""Writes fixture/mem and fixture/bio byte for byte: every kind of finding once.

The line numbers below are those the checker tests expect; keep them in step.
"""
import os, sys

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), 'fixture')

GE = [  # mem/г: UTF-8 with its mark, CR LF
    'Головная боль|$\\golova.html$Отдохните в тишине.',      # 1  fine; "\" becomes "/"
    'головная боль|$\\golova.html$Отдохните в тишине.',      # 2  case-duplicate of 1
    'грипп\t|Пейте больше и отдыхайте.',                     # 3  blank-at-bar
    'гастрит|Первый ответ.',                                 # 4  shadowed by 5
    'Гастрит|Второй ответ.',                                 # 5  fine
    'горло|$\\net-takoy.html$Полощите горло.',               # 6  missing-page
    'грудь "болит"',                                         # 7  no-bar
    '',                                                      # 8  blank lines ask nothing
    '',                                                      # 9
    '|Ответ без вопроса.',                                   # 10 empty-question
    'дыхание|Дышите ровно.',                                 # 11 wrong-file: mem/д
    '  голод|  Поешьте.  ',                                  # 12 fine: the line is trimmed
]
DE = [  # mem/д: Windows-1251 without a mark, LF; a NUL in line 2
    'дыхание|Дышите ровно.',                                 # 1  fine
    'давление|Измеряйте утром.\0мусор',                      # 2  after-nul
    'доктор|Этой строки программа не видит.',                # 3  lost
]
SOFT = [  # mem/ь, the fallback: UTF-16 LE with its mark, CR LF
    '5 правил здоровья|Спите, двигайтесь, ешьте овощи.',     # 1  fine: "5" has no file
    'головокружение|Присядьте.',                             # 2  fallback-has-own-file
    'ьтест|Вопрос на «ь» тоже живёт здесь.',                 # 3  fine
]


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


mem = os.path.join(OUT, 'mem')
write(os.path.join(mem, 'г'), b'\xef\xbb\xbf' + '\r\n'.join(GE).encode('utf-8') + b'\r\n')
write(os.path.join(mem, 'д'), '\n'.join(DE).encode('cp1251') + b'\n')
write(os.path.join(mem, 'ь'), b'\xff\xfe' + ('\r\n'.join(SOFT) + '\r\n').encode('utf-16-le'))
# mem/к: marked as UTF-8 but holding a byte that UTF-8 never has: undecodable.
write(os.path.join(mem, 'к'), b'\xef\xbb\xbf' + 'кашель|Тёплое питьё.\n'.encode('utf-8') + b'\xff\n')
# A name longer than one character is never selected: unused-file.
write(os.path.join(mem, 'заметки.txt'), 'черновик|ещё не готово\n'.encode('utf-8'))
write(os.path.join(OUT, 'bio', 'golova.html'),
      '<html><head><meta charset="utf-8"><title>Головная боль</title></head>'
      '<body><p>Отдохните в тишине.</p></body></html>\n'.encode('utf-8'))

# fixture-fix: each mistake that tsldemo-check --fix repairs, and nothing else, so that
# after --fix the check comes out clean.
FIX = os.path.join(os.path.dirname(OUT), 'fixture-fix') if len(sys.argv) <= 2 else sys.argv[2]
fixmem = os.path.join(FIX, 'mem')
write(os.path.join(fixmem, 'г'), b'\xef\xbb\xbf' + '\r\n'.join([  # UTF-8 with its mark, CR LF
    'Головная боль|$/golova.html$Отдохните в тишине.',  # 1  fine
    'грипп\t|Пейте больше и отдыхайте.',                 # 2  blank-at-bar
    'дыхание|Дышите ровно.',                             # 3  wrong-file: goes to mem/д
    'ягода|Ешьте по горсти в день.',                     # 4  wrong-file: no mem/я, goes to mem/ь
]).encode('utf-8') + b'\r\n')
write(os.path.join(fixmem, 'д'), 'давление|Измеряйте утром.\n'.encode('cp1251'))  # Windows-1251, LF
write(os.path.join(fixmem, 'м'), '\n'.join([  # UTF-8 without its mark
    'мигрень|Темнота и тишина.',                         # 1  utf8-without-mark
    'горчичник|Не ставьте на ночь.',                     # 2  wrong-file once the mark is there
]).encode('utf-8') + b'\n')
write(os.path.join(fixmem, 'ь'), b'\xff\xfe' + ('\r\n'.join([  # UTF-16 LE, the fallback
    '5 правил здоровья|Спите, двигайтесь, ешьте овощи.', # 1  fine
    'головокружение  |Присядьте.',                       # 2  fallback-has-own-file and blank-at-bar
]) + '\r\n').encode('utf-16-le'))
write(os.path.join(FIX, 'bio', 'golova.html'),
      '<html><head><meta charset="utf-8"><title>Головная боль</title></head>'
      '<body><p>Отдохните в тишине.</p></body></html>\n'.encode('utf-8'))

#!/usr/bin/env python3
"""Builds data/mem and data/bio in their encodings from the UTF-8 sources beside this script."""
import os, subprocess, sys

SRC = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(SRC)

# file -> (encoding, line end)
MEM = {
    'г': ('utf-8-bom', '\r\n'), 'б': ('utf-8-bom', '\n'),
    'м': ('utf-8-bom', '\r\n'), 'ч': ('utf-8-bom', '\n'),
    'а': ('utf-16-le', '\r\n'), 'д': ('utf-16-le', '\n'),
    'т': ('utf-16-le', '\r\n'), 'ь': ('utf-16-le', '\n'),
    'в': ('utf-16-be', '\n'), 'к': ('utf-16-be', '\r\n'),
    'о': ('utf-16-be', '\n'), 'р': ('utf-16-be', '\r\n'),
    'ж': ('cp1251', '\r\n'), 'з': ('cp1251', '\n'),
    'и': ('cp1251', '\r\n'), 'н': ('cp1251', '\n'),
    'п': ('cp1251', '\r\n'), 'с': ('cp1251', '\n'),
    'у': ('cp1251', '\r\n'), 'х': ('cp1251', '\n'),
}
# article -> (encoding, declared charset or None)
BIO = {
    'gripp.html': ('utf-8', 'utf-8'),
    'golovnaya-bol.html': ('utf-8', 'utf-8'),
    'pervaya-pomoshch.html': ('utf-8', 'utf-8'),
    'vitaminy.html': ('utf-8', 'utf-8'),
    'prostuda.html': ('cp1251', 'windows-1251'),
    'davlenie.html': ('cp1251', 'windows-1251'),
    'gigiena.html': ('cp1251', 'windows-1251'),
    'ozhog.html': ('cp1251', None),
    'son.html': ('cp1251', None),
}
STYLE = '''<style type="text/css">
body { font-family: sans-serif; margin: 1em 2em; line-height: 1.4; color: #222; }
h1 { color: #a01818; }
h2 { color: #333; border-bottom: 1px solid #ccc; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #999; padding: 0.3em 0.6em; text-align: left; }
th { background: #eee; }
.doctor { border: 1px solid #c99; background: #fff4f4; padding: 0.5em; font-weight: bold; }
</style>'''
ENC_NAMES = {'utf-8-bom': 'UTF-8 with EF BB BF', 'utf-16-le': 'UTF-16 LE with FF FE',
             'utf-16-be': 'UTF-16 BE with FE FF', 'cp1251': 'Windows-1251, no mark'}

def encode(text, enc):
    if enc == 'utf-8-bom':
        return b'\xef\xbb\xbf' + text.encode('utf-8')
    if enc == 'utf-16-le':
        return b'\xff\xfe' + text.encode('utf-16-le')
    if enc == 'utf-16-be':
        return b'\xfe\xff' + text.encode('utf-16-be')
    return text.encode(enc)  # strict: fails on characters outside the code page

os.makedirs(f'{OUT}/mem', exist_ok=True)
os.makedirs(f'{OUT}/bio', exist_ok=True)
srcs = sorted(os.listdir(f'{SRC}/mem'))
assert set(srcs) == set(MEM), set(srcs) ^ set(MEM)
rows = []
for name in srcs:
    lines = open(f'{SRC}/mem/{name}', encoding='utf-8').read().splitlines()
    lines = [l for l in lines if l.strip()]
    enc, eol = MEM[name]
    data = encode(''.join(l + eol for l in lines), enc)
    if enc == 'cp1251':
        assert data[:2] not in (b'\xff\xfe', b'\xfe\xff') and data[:3] != b'\xef\xbb\xbf'
    open(f'{OUT}/mem/{name}', 'wb').write(data)
    rows.append(f'| `mem/{name}` | {ENC_NAMES[enc]} | {"CR LF" if eol == chr(13)+chr(10) else "LF"} | {len(lines)} |')

bio_rows = []
for name, (enc, cs) in BIO.items():
    html = open(f'{SRC}/bio/{name}', encoding='utf-8').read()
    meta = (f'<meta http-equiv="Content-Type" content="text/html; charset={cs}">' if cs else '')
    html = html.replace('@@META@@\n', meta + '\n' if meta else '').replace('@@STYLE@@', STYLE)
    if cs is None:
        assert 'charset' not in html.lower()
    open(f'{OUT}/bio/{name}', 'wb').write(html.encode(enc))
    bio_rows.append(f'| `bio/{name}` | {"UTF-8" if enc == "utf-8" else "Windows-1251"} | '
                    f'{("charset=" + cs) if cs else "none (must be detected)"} |')

subprocess.run(['convert', '-size', '64x64', 'xc:white', '-fill', '#d01010',
                '-draw', 'rectangle 24,8 39,55', '-draw', 'rectangle 8,24 55,39',
                '-strip', '-define', 'png:exclude-chunks=date,time',
                f'{OUT}/bio/pomoshch.png'], check=True)

readme = f'''# Образец базы знаний «Целитор»

Учебный набор данных: короткие общие сведения о здоровье. Не заменяет консультацию врача.

## mem/ — файлы вопросов и ответов

Каждый файл назван одной строчной буквой — первой буквой вопросов в нём.
Строка: `вопрос|ответ`; ответ может начинаться со ссылки на статью `$/имя.html$`
(статья лежит в `bio/`). Файл `ь` — запасной: в нём вопросы, для первой буквы
которых нет своего файла (цифры, латиница, «е», «щ», «э», «я»).

Кодировка определяется по первым байтам файла: EF BB BF — UTF-8, FF FE — UTF-16 LE,
FE FF — UTF-16 BE, иначе Windows-1251.

| Файл | Кодировка | Конец строки | Строк |
|------|-----------|--------------|-------|
''' + '\n'.join(rows) + f'''

Файлы в `mem/` помечены в `.gitattributes` как `binary`: git не должен менять в них байты.

## bio/ — статьи (HTML 4)

| Файл | Кодировка | Объявление кодировки |
|------|-----------|----------------------|
''' + '\n'.join(bio_rows) + '''
| `bio/pomoshch.png` | PNG 64×64 | картинка для `pervaya-pomoshch.html` |
'''
open(f'{OUT}/README.md', 'w', encoding='utf-8').write(readme)
print('built', len(srcs), 'mem files,', len(BIO), 'articles')

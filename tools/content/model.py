# SPDX-License-Identifier: GPL-3.0-or-later
"""The shape of a model document and the stock phrases the documents share.

Every document in the data modules is built with one of the constructors below,
so the pages differ only in what the documents say, never in how a heading, a
party list or a signature block is marked up.
"""

from dataclasses import dataclass, field

# Every catalogue leaf's page: key -> (intro, documents), filled by the data modules.
PAGES = {}


def page(key, intro, *docs):
    """Records the page of a catalogue leaf; a leaf written twice is a mistake in the data."""
    if key in PAGES:
        raise SystemExit(f"page written twice: {key}")
    PAGES[key] = (intro, list(docs))


@dataclass
class Doc:
    title: str                     # as listed in the index and in the page's contents
    kind: str                      # court | notice | party | plain
    doctype: str                   # the big heading of the document
    caseno: str = ""               # full case number line, empty when the document has none
    to: str = ""                   # addressee line of a notice ("×××：")
    parties: list = field(default_factory=list)
    body: list = field(default_factory=list)     # "## " opens a sub-heading
    orders: list = field(default_factory=list)   # the operative part, numbered when several
    after: list = field(default_factory=list)    # fees, rights of appeal, finality
    sign: str = "panel"
    signer: str = ""               # party-side documents: who signs
    court_to: str = "××××人民法院"  # party-side documents: "此致" addressee
    attach: list = field(default_factory=list)
    note: list = field(default_factory=list)     # 说明: how the form is used


def caseno(code: str) -> str:
    """The case number a court writes under the document type, e.g. （××××）……民初……号."""
    return f"（××××）……{code}……号"


def who(*roles: str, end: bool = True) -> list:
    """Party lines with the usual blanks; a role ending in "*" is an organisation."""
    lines = []
    for role in roles:
        if role.endswith("*"):
            role = role[:-1]
            lines.append(f"{role}：××××（写明名称），住所地……。")
            lines.append("法定代表人/主要负责人：×××，……（写明职务）。")
        else:
            lines.append(f"{role}：×××，男/女，××××年××月××日出生，×族，……（写明工作单位和职务或者职业），住……。")
        lines.append("委托诉讼代理人：×××，……。")
    if end:
        lines.append("（以上写明当事人和其他诉讼参加人的姓名或者名称等基本信息）")
    return lines


def person(role: str) -> str:
    return f"{role}：×××，男/女，××××年××月××日出生，×族，……（写明工作单位和职务或者职业），住……。联系方式：……。"


def org(role: str) -> str:
    return f"{role}：××××（写明名称），住所地……。法定代表人/主要负责人：×××，……（写明职务）。联系方式：……。"


APPEAL_J = ("如不服本判决，可以在判决书送达之日起十五日内，向本院递交上诉状，"
            "并按照对方当事人或者代表人的人数提出副本，上诉于××××人民法院。")
APPEAL_R = ("如不服本裁定，可以在裁定书送达之日起十日内，向本院递交上诉状，"
            "并按照对方当事人或者代表人的人数提出副本，上诉于××××人民法院。")
FINAL_J = "本判决为终审判决。"
FINAL_R = "本裁定为终审裁定。"
EFFECTIVE_R = "本裁定送达后即发生法律效力。"
REVIEW_DEC = "如不服本决定，可以在收到决定书之日起三日内，向本院申请复议一次。复议期间，不停止决定的执行。"
REVIEW_PRES = "如不服本裁定，可以自收到裁定书之日起五日内向本院申请复议一次。复议期间不停止裁定的执行。"
FEE = "案件受理费……元，由……负担。"


def heading_of(title: str) -> str:
    """The document type a title starts with: 执行裁定书（中止执行用） heads as 执行裁定书."""
    return title.split("（", 1)[0]


def court(title, doctype, code, parties, body, orders=(), after=(), sign="panel", note=()):
    """A ruling, judgment, decision or mediation paper issued by the court."""
    return Doc(title=title, kind="court", doctype=doctype or heading_of(title), caseno=caseno(code) if code else "",
               parties=list(parties), body=list(body), orders=list(orders), after=list(after),
               sign=sign, note=list(note))


def ruling(title, parties, body, orders=(), after=(), code="民初", sign="panel", note=()):
    return court(title, None, code, parties, body, orders, after, sign, note)


def judgment(title, parties, body, orders=(), after=(), code="民初", sign="panel", note=()):
    return court(title, None, code, parties, body, orders, after, sign, note)


def decision(title, parties, body, orders=(), after=(), code="民初", sign="court", doctype=None, note=()):
    return court(title, doctype, code, parties, body, orders, after, sign, note)


def notice(title, doctype, to, body, code="民初", sign="court", attach=(), note=()):
    """A letter or notice sent by the court to one addressee."""
    return Doc(title=title, kind="notice", doctype=doctype, caseno=caseno(code) if code else "",
               to=to, body=list(body), sign=sign, attach=list(attach), note=list(note))


def party(title, doctype, parties, body, signer="申请人", court_to="××××人民法院", attach=(), note=()):
    """A paper a party hands to the court: statement of claim, defence, application."""
    return Doc(title=title, kind="party", doctype=doctype, parties=list(parties), body=list(body),
               sign="party", signer=signer, court_to=court_to, attach=list(attach), note=list(note))


def plain(title, doctype, body, code="", sign="none", parties=(), note=()):
    """Records, agreements and lists that follow no letter or ruling form."""
    return Doc(title=title, kind="plain", doctype=doctype, caseno=caseno(code) if code else "",
               parties=list(parties), body=list(body), sign=sign, note=list(note))


# Who signs a court document, above the date and the seal.
SIGNATURES = {
    "panel": ["审判长　×××", "审判员　×××", "审判员　×××"],
    "jury": ["审判长　×××", "人民陪审员　×××", "人民陪审员　×××"],
    "sole": ["审判员　×××"],
    "president": ["院　长　×××"],
    "executor": ["审判长　×××", "审判员　×××", "审判员　×××"],
    "enforcer": ["执行员　×××"],
    "court": [],
}

# Court documents carry the clerk's name under the seal; letters in the court's
# own name and rulings of a president do not.
WITH_CLERK = {"panel", "jury", "sole", "executor", "enforcer"}

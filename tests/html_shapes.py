"""The shapes of a qeldump --html page, found by their data attributes; the
report's tests read pages with it."""
import html.parser


class Shapes(html.parser.HTMLParser):
    """The data attributes of the pin shapes, map blocks and module ports."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.pins, self.blocks, self.ports = [], [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "data-pin" in a:
            self.pins.append((a["data-package"], int(a["data-pin"]), a["data-name"],
                              a.get("data-reserved") == "1"))
        if "data-start" in a:
            self.blocks.append((int(a["data-map"]), a["data-start"], a["data-end"]))
        if "data-port" in a:
            self.ports.append((a["data-module"], a["data-port"], a["data-direction"]))


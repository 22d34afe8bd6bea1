# Sphinx configuration of the user guide: Markdown pages read by the MyST
# parser, one HTML site with a search box (scripts/guide.sh builds it).
project = "Printer diagnostics suite: user guide"
author = "Printer diagnostics suite"
copyright = "the authors of the printer diagnostics suite"

extensions = ["myst_parser"]
source_suffix = {".md": "markdown"}
root_doc = "index"
exclude_patterns = ["_build", "images/site-*.png"]

# Labels and result lines are quoted exactly as the screens show them:
# straight quotes stay straight.
smartquotes = False

# Headings become link targets, so that pages can point at a section.
myst_heading_anchors = 3

html_theme = "alabaster"
html_title = "Printer diagnostics: user guide"
# The search box first, so that it is in sight on every page.
html_sidebars = {"**": ["searchbox.html", "navigation.html", "relations.html"]}
html_theme_options = {"page_width": "1180px", "sidebar_width": "240px"}
html_show_sourcelink = False

"""A click makes the control the UI-active object, whose TranslateAccelerator sees the keys first."""
import unittest

from nvatt_pages import PageTestCase


class BrowserActivation(PageTestCase):
    def test_a_click_on_the_list_activates_the_control_which_swallows_escape(self):
        self.assertPagePassed(self.run_page('''
            host.equal(host.uiActive(), false, "only in-place active after loading");
            host.click(5);  // the attachment list
            host.equal(host.uiActive(), true, "a click on the list makes the control UI-active");
            host.equal(host.pressKey(27), true, "Escape in the list is swallowed by the control");
            host.equal(host.pressKey(40), false, "the arrow keys go on to the list");
            host.uiDeactivate();
            host.equal(host.uiActive(), false, "UIDeactivate gives the keys back to the page");
            host.equal(host.pressKey(27), false, "and Escape no longer goes through the control");
        ''', params={'style': 1}))


if __name__ == '__main__':
    unittest.main()

// "Download Images by Vendrake" on links and images: the link's target or the
// image's source goes to Vendrake through its native-messaging host, which
// opens the New task dialog with it.

const api = globalThis.browser ?? globalThis.chrome;
const MENU_ID = "download-images-by-vendrake";
const HOST = "org.vendrake.vendrake";

// The address of the element the menu was opened on; a link wins over the
// image inside it, as the page shows the link's target.
function addressOf(info) {
  return info.linkUrl || info.srcUrl || "";
}

// Hands the address to Vendrake; resolves to the host's answer
// ({ok: true} or {ok: false, error: "..."}), or an error answer when the host
// cannot be reached.
async function sendToVendrake(url) {
  try {
    return await api.runtime.sendNativeMessage(HOST, { url });
  } catch (error) {
    return { ok: false, error: String(error && error.message ? error.message : error) };
  }
}

async function onMenuClicked(info) {
  if (info.menuItemId !== MENU_ID) return null;
  const url = addressOf(info);
  if (!url) return null;
  const answer = await sendToVendrake(url);
  if (!answer || !answer.ok) console.warn("Vendrake did not take " + url + ": " + (answer && answer.error));
  return answer;
}

api.runtime.onInstalled.addListener(() => {
  api.contextMenus.create({
    id: MENU_ID,
    title: "Download Images by Vendrake",
    contexts: ["link", "image"],
  });
});
api.contextMenus.onClicked.addListener(onMenuClicked);

// What the browser test calls in place of a click on the menu entry.
globalThis.vendrakeOnMenuClicked = onMenuClicked;
